// The web build end to end in headless Chromium: the page served from a folder on
// 127.0.0.1, looked at through the browser's screenshots and typed into through
// its input events, as a player would. The rules for what the picture shows are
// those of the desktop window tests (tests/support/GameLook.cpp). Nothing
// measures time: every wait polls the picture or the page and gives up after a
// generous bound, saying what never happened.
//
//   node tests/web/BrowserTest.mjs CHECK WEB_FOLDER [SCREENSHOT_FOLDER]

import {cpSync, existsSync, mkdirSync, readdirSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

import {Browser, decodePng, removeFolder, servePage, temporaryFolder} from '../support/Browser.mjs';

// Headless Chromium draws WebGL in software: 20 to 50 frames a second here, fewer on
// a busy machine, and the longest wait, the fall and the fade-out, is 600 frames.
const patienceSeconds = 180;
// The desktop checks give the page the game window's size, so the canvas is the
// window's picture and the spots below are where the window test sees them.
const desktop = {width: 1273, height: 970};
const phone = {width: 390, height: 844, ratio: 3, touch: true};
// The page's own buttons sit in a band along the top of the canvas, and on a touch
// screen its controls in one along the bottom; the pictures judged are of the canvas
// between them.
const buttonBand = 64, touchBand = 104;

// Spots of the canvas with a radius in pixels, worked out from the camera (see
// GameLook): the marble where the intro leaves it, and the steep middle of
// the first ramp, one flat quad lit the same everywhere, so only the texture
// varies its pixels.
const marble = {column: 658, row: 453, radius: 47.5};
const firstRamp = {column: 857, row: 792, radius: 20};

// The marble's diffuse colour is (0.8, 0, 0.6) and the light adds the same to all
// channels otherwise: red stands up to 204 x light above green where it faces it.
const isLitPurple = (r, g, b) => r >= g + 80 && b >= g + 60;
// The first obstacle's diffuse colour is (1, 1, 0): yellow where the light falls on it.
const isLitYellow = (r, g, b) => r >= b + 80 && g >= b + 80 && Math.abs(r - g) <= 24;
const fullLightRedOverGreen = 190; // 0.93 of the light; the intro ends at 0.9975

// The part of the canvas that holds the spots, and the whole canvas.
function around(...spots)
{
    const left = Math.min(...spots.map(s => Math.floor(s.column - s.radius)));
    const top = Math.min(...spots.map(s => Math.floor(s.row - s.radius)));
    const right = Math.max(...spots.map(s => Math.ceil(s.column + s.radius) + 1));
    const bottom = Math.max(...spots.map(s => Math.ceil(s.row + s.radius) + 1));
    return {x: left, y: top, width: right - left, height: bottom - top};
}

// The marble's purple, down to its shaded side.
const isMarblePurple = (r, g, b) => r >= g + 12 && b >= g + 8;

// The marble's disc in a picture: its width is its widest row; its height is the
// diameter of the circle through its top and the ends of the row a quarter of the
// width below (its lower part lies in shade, too dark to measure). Null when no
// marble shows.
function marbleDisc(image)
{
    const rows = [];
    let top = -1, width = 0, column = 0;
    for (let y = 0; y < image.height; ++y) {
        let left = -1, right = -1;
        for (let x = 0; x < image.width; ++x) {
            const at = image.offset(x, y);
            if (isMarblePurple(image.data[at], image.data[at + 1], image.data[at + 2])) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
        rows[y] = left < 0 ? 0 : right - left + 1;
        if (left >= 0 && top < 0)
            top = y;
        if (rows[y] > width) {
            width = rows[y];
            column = (left + right) / 2;
        }
    }
    const depth = Math.round(width / 4);
    if (top < 0 || depth < 2 || top + depth >= image.height)
        return null;
    const half = rows[top + depth] / 2;
    const height = (half * half + depth * depth) / depth;
    return {width, height: Math.round(height), column, row: top + width / 2,
            round: Math.abs(width - height) <= 0.1 * Math.max(width, height)};
}

// What a disc of the picture shows (the whole picture without a spot). A picture
// of part of the canvas has its place there, so spots are canvas pixels.
function look(image, spot = {column: 0, row: 0, radius: 0})
{
    const result = {brightest: 0, litPurple: 0, litYellow: 0, mostRedOverGreen: 0, darkest: 765,
                    lightest: 0};
    let sum = 0, count = 0;
    for (let y = 0; y < image.height; ++y)
        for (let x = 0; x < image.width; ++x) {
            const dx = x + image.region.x - spot.column, dy = y + image.region.y - spot.row;
            if (spot.radius > 0 && dx * dx + dy * dy > spot.radius * spot.radius)
                continue;
            const at = image.offset(x, y);
            const r = image.data[at], g = image.data[at + 1], b = image.data[at + 2];
            const level = r + g + b, most = Math.max(r, g, b);
            result.brightest = Math.max(result.brightest, most);
            if (isLitPurple(r, g, b)) {
                ++result.litPurple;
                result.mostRedOverGreen = Math.max(result.mostRedOverGreen, r - g);
            }
            result.litYellow += isLitYellow(r, g, b);
            result.darkest = Math.min(result.darkest, level);
            result.lightest = Math.max(result.lightest, level);
            sum += most;
            ++count;
        }
    result.mean = sum / count; // of every pixel's brightest channel: follows the light
    // How far the darkest and lightest pixels lie apart; -1 where something is black.
    result.contrast = result.darkest > 0 ? result.lightest - result.darkest : -1;
    return result;
}

const marbleLit = image => look(image, marble).mostRedOverGreen >= fullLightRedOverGreen;
const marbleLitAnywhere = image => look(image).mostRedOverGreen >= fullLightRedOverGreen;

// How many pixels of a picture are not black, outside a rectangle of the canvas and
// the pixels its edges cover in part.
function drawnOutside(image, rect)
{
    const left = Math.floor(rect.x) - 1, right = Math.ceil(rect.x + rect.width);
    const top = Math.floor(rect.y) - 1, bottom = Math.ceil(rect.y + rect.height);
    let drawn = 0;
    for (let y = 0; y < image.height; ++y)
        for (let x = 0; x < image.width; ++x) {
            const column = x + image.region.x, row = y + image.region.y;
            if (column >= left && column <= right && row >= top && row <= bottom)
                continue;
            const at = image.offset(x, y);
            drawn += Math.max(image.data[at], image.data[at + 1], image.data[at + 2]) > 0;
        }
    return drawn;
}

// An expression for the page: the message box showing a text, as the innermost
// shown element that holds the caption "Error", the text and an OK button; with
// its place on the canvas, whether it lies over the canvas and on top there, and
// the middle of its button. Null while there is none.
function messageBox(text)
{
    return `(() => {
        const shown = e => e.getClientRects().length > 0 &&
                           getComputedStyle(e).visibility === 'visible';
        const oks = [...document.querySelectorAll('button, input[type=button]')]
                        .filter(b => shown(b) && /^\\s*OK\\s*$/.test(b.innerText || b.value));
        for (const ok of oks)
            for (let box = ok.parentElement; box; box = box.parentElement) {
                const words = box.innerText;
                if (!words.includes(${JSON.stringify(text)}) || !/\\bError\\b/.test(words))
                    continue;
                const r = box.getBoundingClientRect(), b = ok.getBoundingClientRect();
                const c = document.querySelector('canvas').getBoundingClientRect();
                const x = r.x + r.width / 2, y = r.y + r.height / 2;
                return {rect: {x: r.x - c.x, y: r.y - c.y, width: r.width, height: r.height},
                        overCanvas: x > c.left && x < c.right && y > c.top && y < c.bottom,
                        onTop: box.contains(document.elementFromPoint(x, y)),
                        button: {x: b.x + b.width / 2, y: b.y + b.height / 2}};
            }
        return null;
    })()`;
}

class Failure extends Error {}

// Steered off the track: the marble leaves the view in full light, then the light
// fades out.
async function waitForFall(page)
{
    let levelWithMarble = 0;
    await page.waitFor('fallen', 'the marble leaving the view in full light', image => {
        const whole = look(image);
        if (whole.mostRedOverGreen >= fullLightRedOverGreen) {
            levelWithMarble = whole.mean;
            return false;
        }
        return levelWithMarble > 0 && whole.litPurple === 0 &&
               whole.mean >= 0.85 * levelWithMarble;
    });
    await page.waitFor('dark', 'the light faded out', image => look(image).brightest <= 24);
}

function check(condition, message)
{
    if (!condition)
        throw new Failure(message);
}

// One page of the game in a fresh browser, with the waits the checks share.
class GamePage {
    static async open(folder, screenshots, viewport = desktop)
    {
        const page = new GamePage();
        page.screenshots = screenshots;
        page.viewport = viewport;
        page.console = [];
        page.crash = null;
        page.server = await servePage(folder);
        page.browser = await Browser.launch();
        page.browser.on('Runtime.consoleAPICalled', ({args}) =>
                            page.console.push(args.map(a => a.value ?? a.description).join(' ')));
        page.browser.on('Runtime.exceptionThrown', ({exceptionDetails}) => {
            page.crash = exceptionDetails.exception?.description ?? exceptionDetails.text;
        });
        page.browser.on('Inspector.targetCrashed', () => (page.crash = 'the page crashed'));
        await page.browser.send('Runtime.enable');
        await page.browser.send('Inspector.enable');
        await page.browser.send('Page.enable');
        // A count of the page's animation frames, for the frame rate.
        await page.browser.send('Page.addScriptToEvaluateOnNewDocument', {source: `
            window.animationFrames = 0;
            const count = () => (++window.animationFrames, requestAnimationFrame(count));
            requestAnimationFrame(count);`});
        await page.browser.setViewport(viewport);
        await page.browser.send('Page.navigate', {url: page.server.url});
        await page.fitted();
        return page;
    }

    // Once the game has started, the canvas fills the window, whole, its drawing buffer
    // the window's size times the pixel ratio (at most 2), and the page does not
    // scroll; the help, shown at the start, is put away as a player would. Sets the
    // canvas's place.
    async fitted()
    {
        const {width, height, ratio = 1} = this.viewport;
        const pixels = [Math.round(width * Math.min(ratio, 2)),
                        Math.round(height * Math.min(ratio, 2))];
        const page = await this.until(`the canvas filling ${width} x ${height}`,
                                      () => this.browser.evaluate(`(() => {
            const c = document.querySelector('canvas');
            if (!c || !window.Module || !Module.inputGate || c.width !== ${pixels[0]} ||
                c.height !== ${pixels[1]})
                return null;
            document.getElementById('help-close').click();
            scrollTo(0, 400);
            const r = c.getBoundingClientRect(), s = document.scrollingElement;
            return {x: r.x, y: r.y, width: r.width, height: r.height, scrollY,
                    scrollWidth: s.scrollWidth, scrollHeight: s.scrollHeight,
                    innerWidth, innerHeight};
        })()`));
        check(page.x === 0 && page.y === 0 && page.width === width && page.height === height,
              `the canvas is at ${JSON.stringify(page)} in a ${width} x ${height} window`);
        check(page.scrollY === 0 && page.scrollWidth <= width && page.scrollHeight <= height,
              `the page scrolls: ${JSON.stringify(page)}`);
        this.canvas = {x: 0, y: 0, width, height};
        const bottom = this.viewport.touch ? touchBand : 0;
        this.whole = {x: 0, y: buttonBand, width, height: height - buttonBand - bottom};
    }

    // Resolves when the page has next loaded.
    loaded()
    {
        return new Promise(resolve => this.browser.on('Page.loadEventFired', resolve));
    }

    // Loads the page again and waits until it has loaded.
    async reload()
    {
        const loaded = this.loaded();
        await this.browser.send('Page.reload');
        await loaded;
    }

    async close()
    {
        await this.browser.close();
        this.server.close();
    }

    // Polls a step until it gives a value; fails at the bound, or at once when the
    // page throws or crashes. Says how long it waited.
    async until(what, step)
    {
        const start = Date.now(), deadline = start + patienceSeconds * 1000;
        for (;;) {
            check(!this.crash, `${this.crash} (waiting for ${what})`);
            const value = await step();
            if (value) {
                console.log(`  ${what}: ${((Date.now() - start) / 1000).toFixed(1)} s`);
                return value;
            }
            check(Date.now() < deadline, `${what}: not seen in ${patienceSeconds} s`);
            await new Promise(resolve => setTimeout(resolve, 20));
        }
    }

    // A picture of a region of the canvas (a small one is quicker to take).
    async picture(region)
    {
        const {x, y} = this.canvas;
        this.lastPng = await this.browser.screenshotPng(
            {...region, x: x + region.x, y: y + region.y}, 1 / (this.viewport.ratio || 1));
        return {...decodePng(this.lastPng), region};
    }

    // Takes pictures of a region of the canvas until one passes the test and
    // returns it; at the bound the last one is saved for a look.
    async waitFor(label, what, test, region = this.whole)
    {
        try {
            return await this.until(what, async () => {
                const image = await this.picture(region);
                return test(image) && image;
            });
        } catch (error) {
            this.save(label);
            throw error;
        }
    }

    // Keeps the last picture for a look, named web-LABEL.png.
    save(label)
    {
        if (this.screenshots && this.lastPng) {
            mkdirSync(this.screenshots, {recursive: true});
            writeFileSync(join(this.screenshots, `web-${label}.png`), this.lastPng);
        }
    }

    // The animation frames the page has had, with the time of the count.
    async frames()
    {
        return {count: await this.browser.evaluate('window.animationFrames'), time: Date.now()};
    }
}

const checks = {
    // The marble lit on the textured track after the fade-in; d held until it falls
    // off and the light fades out; the next run fades in. Escape ends the game and
    // the page says so.
    'plays-runs': async (folder, screenshots, report) => {
        const page = await GamePage.open(folder, screenshots);
        try {
            const picture = await page.waitFor('lit', 'the marble in full light', marbleLit,
                                             around(marble, firstRamp));
            check(look(picture, firstRamp).contrast >= 15, 'the track looks untextured');
            const lit = await page.frames();
            console.log(`  frames of the page until then: ${lit.count}`);

            // Held, a key repeats: the game takes the first press and drops the rest.
            await page.browser.key('d', true);
            await page.browser.key('d', true, {autoRepeat: true});
            await waitForFall(page);
            await page.waitFor('restarted', 'a new run with the marble lit', marbleLit,
                               around(marble));
            const restarted = await page.frames();
            report.framesPerSecond =
                ((restarted.count - lit.count) * 1000) / (restarted.time - lit.time);
            await page.browser.key('d', false);

            await page.browser.key('Escape', true);
            await page.browser.key('Escape', false);
            const again = await page.until('the page saying the game has ended, with Play again',
                                           () => page.browser.evaluate(`(() => {
                const button = document.getElementById('play-again');
                if (!/ended/i.test(document.body.innerText) || !button.getClientRects().length)
                    return null;
                const r = button.getBoundingClientRect();
                return {x: r.x + r.width / 2, y: r.y + r.height / 2,
                        focused: document.activeElement === button};
            })()`));
            check(again.focused, 'the keys did not come back to the page');
            // And nothing moves any more, where the game changes its picture every frame.
            const before = await page.picture(around(marble, firstRamp));
            const count = (await page.frames()).count;
            await page.until('30 more frames of the page',
                             async () => (await page.frames()).count >= count + 30);
            const after = await page.picture(around(marble, firstRamp));
            check(before.data.equals(after.data), 'the picture changed after the game ended');
            const noise = page.console.filter(line => /TODO|GL emulation/.test(line));
            check(noise.length === 0, `the console shows the emulation's notes: ${noise}`);

            // Play again: a new game.
            const loaded = page.loaded();
            await page.browser.click(again.x, again.y);
            await loaded;
            await page.fitted();
            await page.waitFor('again', 'the marble lit in a new game', marbleLit, around(marble));

            // Loaded once, the page starts without the network.
            await page.until('the page\'s files kept for a visit offline', () => page.browser.evaluate(
                `caches.has('marble-run').then(found => found && !!navigator.serviceWorker.controller)`));
            page.server.close();
            await page.browser.send('Network.enable');
            await page.browser.send('Network.emulateNetworkConditions',
                                    {offline: true, latency: 0, downloadThroughput: -1,
                                     uploadThroughput: -1});
            await page.reload();
            await page.fitted();
            const offline = await page.waitFor('offline', 'the marble lit offline', marbleLit,
                                               around(marble, firstRamp));
            check(look(offline, firstRamp).contrast >= 15, 'the track looks untextured offline');
        } finally {
            await page.close();
        }
    },

    // A phone upright and on its side, a small laptop's page and a large screen: the
    // canvas fills each, the page does not scroll, and the marble is round. Resized
    // during a run, the picture is reshaped: the marble stays round.
    'fits-any-screen': async (folder, screenshots) => {
        const page = await GamePage.open(folder, screenshots, phone);
        try {
            const screens = [phone, {...phone, width: 844, height: 390},
                             {width: 1366, height: 657}, {width: 1920, height: 1080}];
            for (const screen of screens) {
                const name = `${screen.width}x${screen.height}`;
                if (screen !== phone) {
                    page.viewport = screen;
                    await page.browser.setViewport(screen);
                    await page.reload();
                    await page.fitted();
                }
                const lit = await page.waitFor(name, `the marble lit at ${name}`, marbleLitAnywhere);
                const disc = marbleDisc(lit);
                console.log(`  marble at ${name}: ${disc.width} x ${disc.height}`);
                if (!disc.round)
                    page.save(name);
                check(disc.round, `the marble is not round at ${name}: ${JSON.stringify(disc)}`);
            }
            page.viewport = {width: 700, height: 1000};
            await page.browser.setViewport(page.viewport);
            await page.fitted();
            const resized = await page.waitFor('resized', 'the marble after a resize', image => {
                const disc = marbleDisc(image);
                return disc && disc.width >= 16 && image;
            });
            const disc = marbleDisc(resized);
            console.log(`  marble after the resize: ${disc.width} x ${disc.height}`);
            check(disc.round, `the marble is not round after a resize: ${JSON.stringify(disc)}`);
        } finally {
            await page.close();
        }
    },

    // On a phone: "Steer right" held until the marble falls off acts as d held; a
    // cancelled touch lets go of it, so the next run rolls on with the marble in view
    // while the light is up, as an unsteered run does; "Brake" held from the start of a run
    // stops the marble near where the intro left it, where unbraked it rolls away.
    'touch-controls': async (folder, screenshots) => {
        const page = await GamePage.open(folder, screenshots, phone);
        try {
            const button = async label => page.browser.evaluate(`(() => {
                const b = document.querySelector('button[aria-label="${label}"]');
                const r = b && b.getClientRects().length ? b.getBoundingClientRect() : null;
                return r && {x: r.x + r.width / 2, y: r.y + r.height / 2, width: r.width,
                             height: r.height};
            })()`);
            const controls = {};
            for (const label of ['Steer left', 'Steer right', 'Brake']) {
                controls[label] = await page.until(`the control "${label}"`, () => button(label));
                check(controls[label].width >= 48 && controls[label].height >= 48,
                      `"${label}" is smaller than 48 x 48: ${JSON.stringify(controls[label])}`);
            }
            const right = controls['Steer right'], brake = controls['Brake'];

            const start = await page.waitFor('lit', 'the marble in full light', marbleLitAnywhere);
            const home = marbleDisc(start);
            await page.browser.touch('touchStart', [{...right, id: 1}]);
            await waitForFall(page);
            await page.browser.touch('touchEnd', []);

            // Held, then cancelled: nothing stays held.
            await page.waitFor('restarted', 'a new run with the marble lit', marbleLitAnywhere);
            await page.browser.touch('touchStart', [{...right, id: 2}]);
            await page.browser.touch('touchCancel', []);
            // Hidden for a moment behind an obstacle proves nothing; the light fading
            // with no marble in view does. On the way the first obstacle shows in its
            // own colour, not in the marble's drawn before it.
            let fullLevel = 0, seenInFade = false, yellow = 0;
            await page.waitFor('straight', 'the light faded out after a run', image => {
                const whole = look(image);
                yellow = Math.max(yellow, whole.litYellow);
                if (whole.mostRedOverGreen >= fullLightRedOverGreen)
                    fullLevel = Math.max(fullLevel, whole.mean);
                else if (fullLevel > 0 && whole.mean < 0.85 * fullLevel && marbleDisc(image))
                    seenInFade = true;
                return fullLevel > 0 && whole.brightest <= 24;
            });
            check(seenInFade, 'the light faded with the marble out of view: the cancelled ' +
                                  'touch still steers');
            check(yellow >= 200, `the yellow obstacle did not show yellow (${yellow} pixels)`);

            // Braked from the intro on, the marble comes to rest where it started.
            await page.browser.touch('touchStart', [{...brake, id: 3}]);
            await page.waitFor('braked-lit', 'a braked run with the marble lit', marbleLitAnywhere);
            await page.waitFor('braked', 'the braked marble at rest as the light fades', image => {
                const disc = marbleDisc(image);
                check(disc === null || Math.hypot(disc.column - home.column,
                                                  disc.row - home.row) <= home.width,
                      `the braked marble rolled away: ${JSON.stringify(disc)}`);
                return look(image).brightest <= 24;
            });
            await page.browser.touch('touchEnd', []);
        } finally {
            await page.close();
        }
    },

    // A broken surface.bmp on the server: the "Error" box over the canvas shows the
    // loader's text, the console keeps the line, OK dismisses the box, and the game
    // plays on with the track untextured. Escape dismisses it too, and nothing more.
    'error-box': async (folder, screenshots) => {
        const served = temporaryFolder('marble-web-');
        try {
            // The page's own files, the top level of the folder.
            for (const entry of readdirSync(folder, {withFileTypes: true}))
                if (entry.isFile())
                    cpSync(join(folder, entry.name), join(served, entry.name));
            // A bitmap header of 99 bytes, a form no bitmap has.
            const broken = Buffer.alloc(64);
            broken.writeUInt32LE(99, 0);
            writeFileSync(join(served, 'surface.bmp'), broken);
            const text = 'Unknown DIB file format.';
            const page = await GamePage.open(served, screenshots);
            try {
                const box = await page.until('a box captioned Error with the loader\'s text',
                                             () => page.browser.evaluate(messageBox(text)));
                check(box.overCanvas, 'the box is not over the canvas');
                check(box.onTop, 'the box is hidden under something');
                await page.until('the loader\'s line on the console',
                                 () => page.console.some(line => line.includes(`Error: ${text}`)));

                // As on the desktop, the game waits for the player: it draws nothing.
                const drawn = drawnOutside(await page.picture(page.whole), box.rect);
                if (drawn)
                    page.save('box');
                check(drawn === 0, `the game drew while the box was open (${drawn} pixels)`);

                await page.browser.click(box.button.x, box.button.y);
                await page.until('the box gone after OK',
                                 async () => !(await page.browser.evaluate(messageBox(text))));
                const picture = await page.waitFor('after-box', 'the game playing on after the box',
                                                   marbleLit, around(marble, firstRamp));
                const ramp = look(picture, firstRamp);
                check(ramp.contrast <= 3,
                      `the first ramp looks textured (contrast ${ramp.contrast})`);
                check(ramp.contrast >= 0, 'no track on the first ramp');

                // Reloaded, the page starts the game again and the box comes back. Escape,
                // which otherwise ends the game, only dismisses it.
                await page.reload();
                await page.until('the box again after a reload',
                                 () => page.browser.evaluate(messageBox(text)));
                await page.browser.key('Escape', true);
                await page.browser.key('Escape', false);
                await page.until('the box gone after Escape',
                                 async () => !(await page.browser.evaluate(messageBox(text))));
                await page.waitFor('after-escape', 'the game playing on after Escape', marbleLit,
                                   around(marble));
                check(!/ended/i.test(await page.browser.evaluate('document.body.innerText')),
                      'Escape on the box ended the game');
            } finally {
                await page.close();
            }
        } finally {
            removeFolder(served);
        }
    },
};

const [name, folder, screenshots] = process.argv.slice(2);
if (!checks[name] || !folder) {
    console.error(
        `usage: BrowserTest.mjs ${Object.keys(checks).join('|')} WEB_FOLDER [SCREENSHOTS]`);
    process.exit(2);
}
// Skipped (77, as CTest is told) where there is no browser to run.
const chromium = process.env.CHROMIUM || 'chromium';
if (!chromium.includes('/') &&
    !(process.env.PATH || '').split(':').some(dir => existsSync(join(dir, chromium)))) {
    console.log(`${name}: skipped, no ${chromium} (tools/deps-web.sh installs it)`);
    process.exit(77);
}
const start = Date.now(), report = {};
try {
    await checks[name](folder, screenshots, report);
    const rate = report.framesPerSecond ? `, ${report.framesPerSecond.toFixed(1)} frames/s` : '';
    console.log(`${name}: passed in ${((Date.now() - start) / 1000).toFixed(1)} s${rate}`);
} catch (error) {
    console.error(`${name}: FAILED after ${((Date.now() - start) / 1000).toFixed(1)} s: ` +
                  (error instanceof Failure ? error.message : error.stack));
    process.exitCode = 1;
}
