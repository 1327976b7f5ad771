// The page's speed in Debian's headless chromium: ticks per second against
// the tick rule (at most one per 10 ms of the page's clock), frames per
// second, and the frame's time, drawn and read back (so that the GPU process
// has finished it). The set-up: SwiftShader named, as the tests run it;
// chromium's default; or a phone (390x844 page pixels at a ratio of 3, touch).
// Usage: node web_speed.mjs PAGE.html SECONDS [swiftshader|default|phone]
import puppeteer from 'puppeteer-core';

const [pagePath, seconds = '10', setUp = 'swiftshader'] = process.argv.slice(2);
const SWIFTSHADER = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'];
const VIEWPORTS = {
  swiftshader: { width: 1300, height: 820, deviceScaleFactor: 1 },
  default: { width: 1300, height: 820, deviceScaleFactor: 1 },
  phone: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
};
const TIMED_FRAMES = 200;

// Every frame's time in the page's display callback, with or without a read
// of one pixel that waits for the frame to be drawn.
function timeFrames() {
  const realFrame = window.requestAnimationFrame.bind(window);
  const frames = { count: 0, times: [], sync: false };
  window.requestAnimationFrame = (callback) => realFrame((time) => {
    const start = performance.now();
    callback(time);
    if (frames.sync) {
      const gl = document.getElementById('canvas').getContext('webgl');
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
    }
    frames.times.push(performance.now() - start);
    frames.count++;
  });
  window.frameTimes = frames;
}

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--headless=new', '--no-sandbox', ...(setUp === 'default' ? [] : SWIFTSHADER)],
  defaultViewport: VIEWPORTS[setUp],
});
const page = await browser.newPage();
await page.evaluateOnNewDocument(timeFrames);
await page.goto(`file://${pagePath}`);
await page.waitForFunction(() => Module.ticks > 0);
const before = await page.evaluate(() => ({ ticks: Module.ticks, frames: frameTimes.count, at: performance.now() }));
await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
const after = await page.evaluate(() => ({ ticks: Module.ticks, frames: frameTimes.count, at: performance.now(),
  ahead: Module.ticksAhead }));
const elapsed = (after.at - before.at) / 1000;
await page.evaluate(() => { frameTimes.sync = true; frameTimes.times = []; });
await page.waitForFunction((n) => frameTimes.times.length >= n, { timeout: 120000 }, TIMED_FRAMES);
const times = await page.evaluate(() => frameTimes.times.slice().sort((a, b) => a - b));
await browser.close();
const median = times[Math.floor(times.length / 2)];
console.log(`set_up=${setUp}`);
console.log(`page_ticks_per_second=${((after.ticks - before.ticks) / elapsed).toFixed(1)}`);
console.log(`page_ticks_ahead_of_the_clock=${after.ahead}`);
console.log(`page_frames_per_second=${((after.frames - before.frames) / elapsed).toFixed(1)}`);
console.log(`page_frame_drawn_median_ms=${median.toFixed(2)}`);
