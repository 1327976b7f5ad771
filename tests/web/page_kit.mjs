// What the page's tests share: checks and their tally, the one bounded poll,
// pixels of screenshots and read-backs, and the browser they start.
import puppeteer from 'puppeteer-core';
import { project } from './view.mjs';

export const LIT = 40; // a pixel is lit when a channel exceeds this
let failures = 0;

export function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}

// Prints the tally and ends the process with its status.
export function finish(name) {
  console.log(failures === 0 ? `${name}: all passed` : `${name}: ${failures} failed`);
  process.exit(failures === 0 ? 0 : 1);
}

// The one bound of every wait and the interval between looks, as in the
// native suite: generous, for a slow and shared machine.
const WAIT_MS = 30000;
const POLL_INTERVAL_MS = 20;

// The condition's first truthy value, polled for at most timeoutMs; null if none.
export async function pollUntil(condition, timeoutMs = WAIT_MS) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await condition();
    if (value) return value;
    if (Date.now() > end) return null;
    await new Promise((resolve) => setTimeout(resolve, POLL_INTERVAL_MS));
  }
}

// RGB at (x, y) from the top; an image read back from GL holds its rows from the bottom.
export const pixel = (image, [x, y]) => {
  const row = image.bottomUp ? image.bottomUp - 1 - Math.round(y) : Math.round(y);
  const i = (row * image.width + Math.round(x)) * 4;
  return [image.data[i], image.data[i + 1], image.data[i + 2]];
};
export const difference = (a, b) => Math.max(...a.map((v, i) => Math.abs(v - b[i])));
export function litCount(image) {
  let lit = 0;
  for (let i = 0; i < image.data.length; i += 4)
    if (Math.max(image.data[i], image.data[i + 1], image.data[i + 2]) > LIT) lit++;
  return lit;
}

// Pixels that differ between two screenshots of one size, leaving out those
// the spinning blue torus shows in either (it turns with every frame).
export function changesBesideTheTorus(a, b) {
  const blue = (d, i) => d[i + 2] > 2 * (d[i] + d[i + 1]) && d[i + 2] > LIT;
  let changed = 0;
  for (let i = 0; i < a.data.length; i += 4)
    if (!blue(a.data, i) && !blue(b.data, i) && difference([...a.data.slice(i, i + 3)], [...b.data.slice(i, i + 3)]) > 8)
      changed++;
  return changed;
}

// Debian's chromium, headless, WebGL through SwiftShader.
export function launch(viewport) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      `--window-size=${viewport.width + 20},${viewport.height + 100}`],
    defaultViewport: viewport,
  });
}

// Where the box's far left edge, at (5, 4, -7), meets the black sky on a
// picture of a level view from (0, 2, 5) turned by `yaw` radians: [seen, projected]
// columns (seen within 2 pixels of projected, else null).
export function boxEdge(shot, yaw) {
  const centre = [Math.sin(yaw), 2, 5 - Math.cos(yaw)];
  const [x0, row] = project([5, 4, -7], [0, 2, 5], centre, 60, shot.width, shot.height).map(Math.round);
  for (let x = x0 - 40; x <= x0 + 40; x++)
    if (Math.max(...pixel(shot, [x, row])) > 10) return [Math.abs(x - x0) <= 2 ? x : null, x0];
  return [null, x0];
}
