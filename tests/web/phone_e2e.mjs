// The page in the hands of a phone user: Chromium's phone emulation (touch
// only, a device pixel ratio of 3), upright and sideways, driven with real
// touch events through the DevTools protocol. Each control does what its key
// does; fingers act each by itself; a long press opens the menu and a tap
// picks; a drag turns the view in mouse camera mode; nothing scrolls or zooms.
// Usage: node phone_e2e.mjs PAGE.html ARTEFACTS_FOLDER
import { PNG } from 'pngjs';
import { mkdirSync, writeFileSync } from 'node:fs';
import { boxEdge, changesBesideTheTorus, check, finish, launch, pollUntil } from './page_kit.mjs';

const [pagePath, artefacts] = process.argv.slice(2);
const UPRIGHT = { width: 390, height: 844 };
const SIDEWAYS = { width: 844, height: 390 };
const TURN_PER_PAGE_PIXEL = 0.004; // radians, for a finger
// The controls by virtual key, with the key the keyboard presses for each.
const KEYS = { 87: ['w', 'KeyW'], 65: ['a', 'KeyA'], 68: ['d', 'KeyD'], 83: ['s', 'KeyS'], 81: ['q', 'KeyQ'],
  69: ['e', 'KeyE'], 82: ['r', 'KeyR'], 70: ['f', 'KeyF'], 38: ['ArrowUp', 'ArrowUp'], 40: ['ArrowDown', 'ArrowDown'],
  37: ['ArrowLeft', 'ArrowLeft'], 39: ['ArrowRight', 'ArrowRight'], 36: ['Home', 'Home'], 35: ['End', 'End'],
  161: ['Shift', 'ShiftRight'] };

const browser = await launch({ ...UPRIGHT, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
const errors = [];

// A fresh page at `size`, with its DevTools session and helpers.
async function open(size) {
  const page = await browser.newPage();
  await page.setViewport({ ...size, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(`file://${pagePath}`);
  await page.waitForFunction(() => Module.ticks > 0);
  const cdp = await page.createCDPSession();
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
  const centreOf = (selector) => page.evaluate((s) => {
    const box = document.querySelector(s).getBoundingClientRect();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  }, selector);
  const picture = async () => PNG.sync.read(Buffer.from(await page.screenshot({
    clip: await page.evaluate(() => { const b = canvas.getBoundingClientRect(); return { x: 0, y: 0, width: b.width, height: b.height }; }),
  })));
  const tap = async (point) => { await touch('touchStart', [{ ...point, id: 1 }]); await touch('touchEnd', []); };
  return { page, cdp, touch, centreOf, picture, tap };
}

try {
  // Upright: each control holds what its own key holds, in the key state the
  // program's tick reads (Module.keysSeen), while a finger is on it.
  const upright = await open(UPRIGHT);
  const { page: uprightPage, touch: uprightTouch } = upright;
  check(await uprightPage.evaluate(() => getComputedStyle(document.getElementById('touch-controls')).display !== 'none' &&
    canvas.clientWidth === 390 && canvas.clientHeight <= 220), 'upright: controls shown, the picture 16:9 across the width');
  const start = await upright.picture();
  const seen = () => uprightPage.evaluate(() => JSON.stringify(Module.keysSeen ?? []));
  const seenBecomes = (list) => pollUntil(async () => await seen() === list && list);
  for (const [code, [name, place]] of Object.entries(KEYS)) {
    await upright.cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key: name, code: place });
    const byKey = await pollUntil(async () => { const list = await seen(); return list !== '[]' && list; });
    await upright.cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key: name, code: place });
    await seenBecomes('[]');
    await uprightTouch('touchStart', [{ ...await upright.centreOf(`[data-key="${code}"]`), id: 1 }]);
    const byControl = await seenBecomes(byKey);
    await uprightTouch('touchEnd', []);
    check(byControl && await seenBecomes('[]'), `the control for ${name} holds ${byKey}, as its key does`);
  }
  check(changesBesideTheTorus(start, await upright.picture()) > 1000, 'the controls moved the tank and the camera');
  mkdirSync(artefacts, { recursive: true });
  writeFileSync(`${artefacts}/phone-upright.png`, await uprightPage.screenshot());
  await uprightPage.close();

  // Sideways: two fingers at once, each holding its own key.
  const phone = await open(SIDEWAYS);
  const { page, touch, centreOf } = phone;
  const seenNow = (list) => pollUntil(async () =>
    await page.evaluate(() => JSON.stringify(Module.keysSeen ?? [])) === list);
  const [w, q] = [await centreOf('[data-key="87"]'), await centreOf('[data-key="81"]')];
  await touch('touchStart', [{ ...w, id: 1 }, { ...q, id: 2 }]);
  check(await seenNow('[81,87]'), 'two fingers hold Q and W together');
  await touch('touchEnd', [{ ...q, id: 2 }]); // Q's finger lifted
  check(await seenNow('[87]'), 'one lifted, the other still holds W');
  await touch('touchEnd', []);
  check(await seenNow('[]'), 'both lifted, nothing is held');

  // A long press on the picture opens the menu under the finger; a tap picks
  // the mouse camera, and a finger dragged 30 page pixels turns the view 0.12 rad.
  await touch('touchStart', [{ x: 300, y: 150, id: 1 }]);
  const menuAt = await pollUntil(() => page.evaluate(() => {
    const menu = document.getElementById('quorvale-menu');
    return menu.style.display === 'block' && menu.getBoundingClientRect().toJSON();
  }));
  await touch('touchEnd', []);
  check(menuAt && Math.abs(menuAt.x - 300) < 2 && Math.abs(menuAt.y - 150) < 2, 'a long press opens the menu there');
  await phone.tap(await centreOf('#quorvale-menu > :nth-child(2)'));
  check(await pollUntil(() => page.evaluate(() => document.body.classList.contains('mouse-camera'))),
    'a tap on the menu picks the mouse camera');
  await touch('touchStart', [{ x: 300, y: 150, id: 1 }]);
  for (let x = 305; x <= 330; x += 5) await touch('touchMove', [{ x, y: 150, id: 1 }]);
  await touch('touchEnd', []);
  let edge = [null, null];
  await pollUntil(async () => (edge = boxEdge(await phone.picture(), 30 * TURN_PER_PAGE_PIXEL))[0]);
  check(edge[0], `a 30 page pixel drag turns the view 0.12 rad: the box's edge at ${edge[0]}, projected ${edge[1]}`);

  // A pinch and a double tap on the picture neither zoom nor scroll the page.
  await touch('touchStart', [{ x: 300, y: 150, id: 1 }, { x: 340, y: 150, id: 2 }]);
  await touch('touchMove', [{ x: 250, y: 150, id: 1 }, { x: 400, y: 150, id: 2 }]);
  await touch('touchEnd', []);
  await phone.tap({ x: 300, y: 150 });
  await phone.tap({ x: 300, y: 150 });
  check(await page.evaluate(() => visualViewport.scale === 1 && scrollX === 0 && scrollY === 0),
    'no zoom, no scroll');
  writeFileSync(`${artefacts}/phone-sideways.png`, await page.screenshot());

  // The menu button, and Exit Application: the program ends cleanly.
  await phone.tap(await centreOf('#menu-button'));
  await phone.tap(await centreOf('#quorvale-menu > :nth-child(5)'));
  check(await pollUntil(() => page.evaluate(() => /has ended/.test(document.getElementById('note').textContent))),
    'the menu button and Exit Application end the program');
  check(errors.length === 0, `no page error: ${errors}`);
} finally {
  await browser.close();
}
finish('phone e2e');
