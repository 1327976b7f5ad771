// One run of the real page in Debian's headless chromium: the banner, the
// first frame against the desktop's, the tank, the menu, Pointer Lock, Escape.
// Usage: node page_e2e.mjs PAGE.html DESKTOP_FIRST_FRAME.png
import { PNG } from 'pngjs';
import { readFileSync } from 'node:fs';
import { project } from './view.mjs';
import { boxEdge, changesBesideTheTorus, check, difference, finish, launch, litCount, pixel, pollUntil } from './page_kit.mjs';

const [pagePath, desktopPath] = process.argv.slice(2);
const WIDTH = 1280; // page pixels at a device pixel ratio of 1
const HEIGHT = 720;
const FOV_Y = 60; // degrees
const START_EYE = [0, 2, 5];
const TOLERANCE = 24; // per channel, 0..255: WebGL's rasteriser against llvmpipe's
const MENU_AT = [100, 100]; // where the menu is opened, page pixels
const TURN_PER_PIXEL = 0.004; // radians
const LABELS = ['Lock/Free Camera', 'Mouse/Keyboard Camera', 'Enable/Disable Wireframe',
  'Enable/Disable Vertex', 'Exit Application'];

// The least difference between `reference` at `at` and `image` within a pixel of it.
function nearestDifference(image, reference, [x, y]) {
  let least = 255;
  for (let dy = -1; dy <= 1; dy++)
    for (let dx = -1; dx <= 1; dx++)
      least = Math.min(least, difference(pixel(reference, [x, y]), pixel(image, [x + dx, y + dy])));
  return least;
}

// Frames wait at a gate the test opens: the first frame stays on the screen.
function installFrameGate() {
  const realFrame = window.requestAnimationFrame.bind(window);
  const gate = { limit: 1, shown: 0, held: [] };
  // The drawing buffer as the frame left it (rows from the bottom), read in
  // the frame's own task, before the browser may clear it.
  const readBack = () => {
    const canvas = document.getElementById('canvas');
    const rgba = new Uint8Array(canvas.width * canvas.height * 4);
    canvas.getContext('webgl').readPixels(0, 0, canvas.width, canvas.height, 0x1908, 0x1401, rgba);
    return { width: canvas.width, bottomUp: canvas.height, data: rgba };
  };
  // The ticks run in every frame too: they pass, and make no frame.
  window.requestAnimationFrame = (callback) => callback.quorvaleTicks ? realFrame(callback) : realFrame((time) => {
    if (gate.shown < gate.limit) {
      gate.shown++;
      callback(time);
      if (gate.shown === 1) gate.first = readBack();
    } else gate.held.push(callback);
  });
  gate.open = () => {
    gate.limit = Infinity;
    gate.held.splice(0).forEach((callback) => window.requestAnimationFrame(callback));
  };
  window.frameGate = gate;
}

const browser = await launch({ width: 1300, height: 820, deviceScaleFactor: 1 });
try {
  const page = await browser.newPage();
  const consoleLines = [];
  page.on('console', (message) => consoleLines.push(message.text()));
  page.on('pageerror', (error) => consoleLines.push(`page error: ${error.message}`));
  await page.evaluateOnNewDocument(installFrameGate);
  await page.goto(`file://${pagePath}`);
  const shoot = async () => PNG.sync.read(Buffer.from(
    await page.screenshot({ clip: { x: 0, y: 0, width: WIDTH, height: HEIGHT } })));

  const banner = await pollUntil(() => {
    const at = consoleLines.indexOf('C++ and OpenGL Quorvale 1');
    return at >= 0 && consoleLines.length >= at + 4 && consoleLines.slice(at, at + 4);
  });
  check(banner && /^Ferrowold version \d+\.\d+$/.test(banner[1]) && banner[2] === 'Tamsrel aka Quennick' &&
    banner[3] === '------', `banner in the console: ${JSON.stringify(banner ?? consoleLines)}`);
  check(await page.title() === 'Quorvale 1', 'title "Quorvale 1"');
  check(await page.evaluate(() => canvas.width === 1280 && canvas.height === 720 &&
    canvas.clientWidth === 1280 && canvas.clientHeight === 720), 'picture 1280x720 at ratio 1');

  // The first frame against the desktop's, at points projected here.
  await pollUntil(() => page.evaluate(() => frameGate.first !== undefined));
  const first = await page.evaluate(() => ({ ...frameGate.first, data: Array.from(frameGate.first.data) }));
  const desktop = PNG.sync.read(readFileSync(desktopPath));
  const at = (world) => project(world, START_EYE, [0, 0, 0], FOV_Y, WIDTH, HEIGHT);
  const isGreen = ([r, g, b]) => g > r && g > b;
  const points = {
    ground: [[1.5, 0, 2.5], isGreen],
    grid: [[2, 0.01, 2.7], (c) => Math.min(...c) > 100],
    box: [[-6, 2.5, -6], ([r, g, b]) => r > g && r > b],
    torus: [[0, 1.25, 0], ([r, g, b]) => b > 2 * (r + g)],
    pool: [[2.75, 0, 2.75], isGreen], // light 4's cone, 49 degrees off its axis
    tank: [[0, 0.15, 0], (c) => difference(c, [c[0], c[0], c[0]]) < 12 && c[0] > 20],
  };
  // The desktop pixel within one of the projected point that shows what it should.
  const spotOf = ([x, y], looksRight) => [0, -1, 1].flatMap((dy) => [0, -1, 1].map((dx) => [x + dx, y + dy]))
    .find((spot) => looksRight(pixel(desktop, spot))) ?? [x, y];
  let worst = 0;
  for (const [name, [world, looksRight]] of Object.entries(points)) {
    const where = spotOf(at(world).map(Math.round), looksRight);
    const off = nearestDifference(first, desktop, where);
    worst = Math.max(worst, off);
    check(looksRight(pixel(desktop, where)) && off <= TOLERANCE,
      `${name} at ${where.map(Math.round)}: page ${pixel(first, where)}, desktop ${pixel(desktop, where)}`);
  }
  console.log(`first frame: worst difference ${worst} of ${TOLERANCE} allowed`);
  const depthBits = await page.evaluate(() => canvas.getContext('webgl').getParameter(0x0D56)); // DEPTH_BITS
  check(depthBits >= 24, `a depth buffer of ${depthBits} bits`);

  // W drives the tank off its place.
  await page.evaluate(() => frameGate.open());
  const tankAt = at(points.tank[0]);
  await page.keyboard.down('w');
  check(await pollUntil(async () => difference(pixel(await shoot(), tankAt), pixel(first, tankAt)) > 20),
    'W drives the tank off its place');
  await page.keyboard.up('w');

  // The WebGL context lost: the page says so; given back, the picture is too.
  const lit = () => shoot().then(litCount);
  await page.evaluate(() => { window.loseContext = canvas.getContext('webgl').getExtension('WEBGL_lose_context'); });
  await page.evaluate(() => loseContext.loseContext());
  check(await pollUntil(() => page.evaluate(() => !document.getElementById('context-note').hidden)),
    'a lost WebGL context is said on the page');
  await page.evaluate(() => loseContext.restoreContext());
  check(await pollUntil(async () => await page.evaluate(() => document.getElementById('context-note').hidden) &&
    await lit() > 500000), 'the picture is back with the context');

  // The menu: opened by click and click, by press, drag and release.
  const entryCentre = (index) => page.evaluate((i) => {
    const box = document.getElementById('quorvale-menu').children[i].getBoundingClientRect();
    return [box.x + box.width / 2, box.y + box.height / 2];
  }, index);
  const menuShown = () => page.evaluate(() => document.getElementById('quorvale-menu').style.display !== 'none');
  const filledLit = litCount(await shoot());
  await page.mouse.click(...MENU_AT, { button: 'right' });
  const labels = await page.evaluate(() =>
    [...document.getElementById('quorvale-menu').children].map((entry) => entry.textContent));
  check(await menuShown() && JSON.stringify(labels) === JSON.stringify(LABELS), `menu labels ${labels}`);
  await page.mouse.click(...await entryCentre(2));
  const linesLit = await pollUntil(async () => {
    const lit = litCount(await shoot());
    return lit < filledLit / 2 && lit;
  });
  check(linesLit, `wireframe: lit pixels ${filledLit} -> ${linesLit}`);
  await page.mouse.move(...MENU_AT);
  await page.mouse.down({ button: 'right' });
  await page.mouse.move(...await entryCentre(3), { steps: 4 });
  await page.mouse.up({ button: 'right' });
  const pointsLit = await pollUntil(async () => {
    const lit = litCount(await shoot());
    return lit < linesLit / 2 && lit;
  });
  check(pointsLit, `vertex by press, drag, release: lit pixels ${linesLit} -> ${pointsLit}`);
  await page.mouse.click(...MENU_AT, { button: 'right' });
  await page.mouse.click(...await entryCentre(3));
  check(await pollUntil(async () => litCount(await shoot()) > filledLit * 0.9), 'vertex again: filled');

  await page.mouse.click(...MENU_AT, { button: 'right' });
  await page.keyboard.press('Escape');
  const shownBefore = await page.evaluate(() => frameGate.shown);
  check(!await menuShown() && await pollUntil(() => page.evaluate((n) => frameGate.shown > n + 2, shownBefore)),
    'Escape closes the menu and the program runs on');

  // Mouse camera: under Pointer Lock 30 px of motion turn the view by 0.12 rad,
  // level (the free camera starts at yaw and pitch 0). The far left edge of
  // the box at (6, -6), its leftmost from here, then meets the black sky
  // where projected here.
  await page.mouse.click(...MENU_AT, { button: 'right' });
  const pickAt = await entryCentre(1);
  await page.mouse.click(...pickAt);
  const locked = () => page.evaluate(() => document.pointerLockElement === canvas);
  check(await pollUntil(locked), 'the mouse camera locks the pointer');
  const turnedBy = async (yaw) => {
    let edge = [null, null];
    await pollUntil(async () => (edge = boxEdge(await shoot(), yaw))[0]);
    check(edge[0], `the view turned by ${yaw} rad: the box's edge at x ${edge[0]}, projected ${edge[1]}`);
  };
  await page.mouse.move(pickAt[0] + 30, pickAt[1]);
  await turnedBy(30 * TURN_PER_PIXEL); // 30 page pixels from the first motion after the lock
  // At a pixel ratio of 2 (the window moved to a HiDPI monitor, no resize) the
  // picture is fitted again, and a page pixel of motion is two window pixels,
  // as on a desktop at 192 DPI: 15 page pixels turn the view by 0.12 rad more.
  const cdp = await page.createCDPSession();
  const ratio = (deviceScaleFactor) =>
    cdp.send('Emulation.setDeviceMetricsOverride', { width: 1300, height: 820, deviceScaleFactor, mobile: false });
  await ratio(2);
  check(await pollUntil(() => page.evaluate(() => canvas.width === 2560)), 'the picture fitted again at a ratio of 2');
  await page.mouse.move(pickAt[0] + 45, pickAt[1]);
  await turnedBy(60 * TURN_PER_PIXEL);
  await ratio(1);

  // The right button under the lock opens the menu with the pointer free;
  // Escape closes it and the pointer is locked again.
  await page.mouse.down({ button: 'right' });
  await page.mouse.up({ button: 'right' });
  check(await menuShown() && await pollUntil(async () => !await locked()), 'the menu frees a locked pointer');
  await page.keyboard.press('Escape');
  check(!await menuShown() && await pollUntil(locked), 'the pointer is locked again after the menu');

  // An input method's letters (key "Process") drive by their place; a letter
  // held while Cmd goes up (macOS sends it no key-up) is let go with Cmd.
  const key = (type, key, code) => cdp.send('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: 0 });
  const standing = () => pollUntil(async () => {
    const a = await shoot();
    await new Promise((resolve) => setTimeout(resolve, 150));
    return changesBesideTheTorus(a, await shoot()) === 0;
  });
  const moving = () => pollUntil(async () => changesBesideTheTorus(await shoot(), await shoot()) > 20);
  await key('keyDown', 'Process', 'KeyW');
  check(await moving(), 'W through an input method drives the tank');
  await key('keyUp', 'Process', 'KeyW');
  check(await standing(), '... and stops when let go');
  await key('keyDown', 'Meta', 'MetaLeft');
  await key('keyDown', 'q', 'KeyQ');
  check(await moving(), 'Cmd and Q turn the turret');
  await key('keyUp', 'Meta', 'MetaLeft');
  check(await standing(), 'Q is let go with Cmd');

  // Escape ends the program once the pointer is back (the browser keeps the
  // Escape under Pointer Lock for giving the pointer back).
  const unlockedAt = await page.evaluate(() => new Promise((resolve) => {
    document.addEventListener('pointerlockchange', () => resolve(performance.now()), { once: true });
    document.exitPointerLock();
  }));
  const ended = () => page.evaluate(() => /ended/.test(document.getElementById('note').textContent));
  // A refused lock shows the pointer and says what to do.
  await page.evaluate(() => { document.createElement('div').requestPointerLock().catch(() => {}); });
  check(await pollUntil(() => page.evaluate(() => !document.getElementById('lock-note').hidden &&
    canvas.style.cursor === 'default')), 'a refused lock is said, and the pointer shows');
  // Opened near the window's corner, the menu lies inside the window.
  await page.mouse.click(1250, 700, { button: 'right' });
  const box = await page.evaluate(() => document.getElementById('quorvale-menu').getBoundingClientRect().toJSON());
  check(box.right <= 1300 && box.bottom <= 820 && box.left < 1250 && box.top < 700,
    `the menu opened at (1250, 700) lies inside the window: ${Math.round(box.left)},${Math.round(box.top)}`);
  await page.keyboard.press('Escape');
  await pollUntil(() => page.evaluate((t) => performance.now() - t > 250, unlockedAt)); // Pointer Lock's Escape
  await page.keyboard.press('Escape'); // a tap, shorter than a tick
  check(await pollUntil(ended), 'Escape ends the program and the page says so');
  // The loop stopped: no tick in the time of several.
  const ticksAtEnd = await page.evaluate(() => Module.ticks);
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 100)));
  check(await page.evaluate((n) => Module.ticks === n, ticksAtEnd), 'no tick after the end');

  // Without WebGL the page says so, and has no error.
  const bare = await browser.newPage();
  const errors = [];
  bare.on('pageerror', (error) => errors.push(error.message));
  await bare.evaluateOnNewDocument(() => { HTMLCanvasElement.prototype.getContext = () => null; });
  await bare.goto(`file://${pagePath}`);
  check(await pollUntil(() => bare.evaluate(() => /needs WebGL/.test(document.getElementById('note').textContent))) &&
    errors.length === 0, `without WebGL: the sentence, no page error ${errors}`);
  check(!consoleLines.some((line) => /page error/.test(line)), 'no page error in the run');
} finally {
  await browser.close();
}
finish('page e2e');
