// node tap.js URL X Y: opens the device screen's address in Debian's
// headless Chromium, waits until the page shows the 240x320 screen with a
// picture on it, taps it at (X, Y) with the mouse, and waits until the page
// shows another screen (a quarter of it changed), as a user would.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

async function main([url, x, y]) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'bk-chromium-'));
  // No network here: nothing of the browser's own may try to reach out.
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    // No bound of its own: Chromium may take long on a busy machine, and the
    // test's run bound ends one that hangs.
    page.setDefaultTimeout(0);
    await page.goto(url);
    // The canvas takes the screen's size once the server let us in; a
    // picture has come once its pixels differ.
    const canvas = await page.waitForFunction(() => {
      const c = document.querySelector('#noVNC_container canvas');
      if (!c || c.width !== 240 || c.height !== 320) return null;
      const px = new Uint32Array(c.getContext('2d').getImageData(0, 0, 240, 320).data.buffer);
      window.shown = px;
      return px.some((p) => p !== px[0]) ? c : null;
    }, { polling: 200 });
    const box = await canvas.boundingBox();
    if (box.width !== 240 || box.height !== 320)
      throw new Error(`the screen shows as ${box.width}x${box.height}, not 240x320`);
    await page.mouse.click(box.x + Number(x), box.y + Number(y));
    // Until then the tap may still be on its way to the server.
    await page.waitForFunction((c) => {
      const px = new Uint32Array(c.getContext('2d').getImageData(0, 0, 240, 320).data.buffer);
      return px.filter((p, i) => p !== window.shown[i]).length > px.length / 4;
    }, { polling: 200 }, canvas);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main(process.argv.slice(2)).catch((e) => {
  console.error(`tap.js: ${e.message}`);
  process.exit(1);
});
