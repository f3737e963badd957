// What one frame of the browser build costs the page's main thread, in headless
// Chromium on its software WebGL: the median and 90th percentile of the time spent in
// the animation-frame callback that draws, at full CPU speed and slowed four times
// (DevTools' stand-in for a phone), and the time from navigation to the first frame
// drawn, on a first visit (a fresh profile). Given a second folder, the same figures
// for it, measured in the same run, so two builds compare on one machine's load. Each
// build's frames are measured twice, in the order A B B A, and it keeps its better
// figures: the first browser of a run starts cold, and the machine's load comes and
// goes. The first frame is the median of several first visits, taken in turns: it
// waits on the browser making its GL context, which takes a quarter of a second or
// more than one from one start to the next.
//
//   node bench/WebFrameBench.mjs WEB_FOLDER [BASELINE_WEB_FOLDER]

import {Browser, servePage} from '../tests/support/Browser.mjs';

const viewport = {width: 1280, height: 960};
const warmUpFrames = 60, framesAt1x = 300, framesAt4x = 120, firstVisits = 5;

// In the page before its scripts: every animation-frame callback timed, and the
// WebGL draw calls it makes counted; a callback that draws is a frame of the game.
const probe = `
    window.benchFrames = [];
    window.benchFirstFrame = null;
    let drawCalls = 0;
    for (const context of [WebGLRenderingContext, window.WebGL2RenderingContext])
        for (const name of ['drawArrays', 'drawElements'])
            if (context) {
                const draw = context.prototype[name];
                context.prototype[name] = function(...args) {
                    ++drawCalls;
                    return draw.apply(this, args);
                };
            }
    const request = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = callback => request(time => {
        const before = drawCalls, start = performance.now();
        try {
            callback(time);
        } finally {
            const end = performance.now();
            if (drawCalls > before) {
                window.benchFrames.push({ms: end - start, draws: drawCalls - before});
                if (window.benchFirstFrame === null)
                    window.benchFirstFrame = end;
            }
        }
    });`;

function quantile(sorted, q)
{
    return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

// The page loaded in a fresh browser with the probe; gives what(browser).
async function visit(folder, what)
{
    const server = await servePage(folder);
    const browser = await Browser.launch();
    try {
        await browser.send('Page.enable');
        await browser.send('Emulation.setDeviceMetricsOverride',
                           {...viewport, deviceScaleFactor: 1, mobile: false});
        await browser.send('Page.addScriptToEvaluateOnNewDocument', {source: probe});
        await browser.send('Page.navigate', {url: server.url});
        return await what(browser);
    } finally {
        await browser.close();
        server.close();
    }
}

// Polls the page until the expression has a value, for at most 10 minutes.
async function until(browser, what, expression)
{
    for (let waited = 0;; waited += 20) {
        const value = await browser.evaluate(expression);
        if (value !== null)
            return value;
        if (waited > 600000)
            throw new Error(`${what} not seen in 10 minutes`);
        await new Promise(resolve => setTimeout(resolve, 20));
    }
}

const firstFrame = folder =>
    visit(folder, browser => until(browser, `${folder}: a frame`, 'window.benchFirstFrame'));

const measure = folder => visit(folder, async browser => {
    const frames = async count => {
        const from = await browser.evaluate('window.benchFrames.length');
        return until(browser, `${folder}: ${count} frames`,
                     `window.benchFrames.length >= ${from + count} ? ` +
                         `window.benchFrames.slice(${from}, ${from + count}) : null`);
    };
    const summary = list => {
        const ms = list.map(f => f.ms).sort((a, b) => a - b);
        return {median: quantile(ms, 0.5), p90: quantile(ms, 0.9),
                draws: quantile(list.map(f => f.draws).sort((a, b) => a - b), 0.5)};
    };
    await frames(warmUpFrames);
    const at1x = summary(await frames(framesAt1x));
    await browser.send('Emulation.setCPUThrottlingRate', {rate: 4});
    await frames(10);
    const at4x = summary(await frames(framesAt4x));
    return {at1x, at4x};
});

const folders = process.argv.slice(2);
if (folders.length < 1 || folders.length > 2) {
    console.error('usage: WebFrameBench.mjs WEB_FOLDER [BASELINE_WEB_FOLDER]');
    process.exit(2);
}
const row = (name, r) => console.log(
    `${name.padEnd(10)} ${r.at1x.median.toFixed(2).padStart(7)} ${r.at1x.p90.toFixed(2).padStart(7)}` +
    ` ${r.at4x.median.toFixed(2).padStart(7)} ${r.at4x.p90.toFixed(2).padStart(7)}` +
    ` ${String(r.at1x.draws).padStart(6)} ${r.firstFrame.toFixed(0).padStart(8)}`);
const better = (a, b) => ({
    at1x: {median: Math.min(a.at1x.median, b.at1x.median), p90: Math.min(a.at1x.p90, b.at1x.p90),
           draws: a.at1x.draws},
    at4x: {median: Math.min(a.at4x.median, b.at4x.median), p90: Math.min(a.at4x.p90, b.at4x.p90),
           draws: a.at4x.draws},
});
const results = [];
const order = folders.length === 2 ? [0, 1, 1, 0] : [0, 0];
for (const i of order) {
    const result = await measure(folders[i]);
    results[i] = results[i] ? better(results[i], result) : result;
}
const firstFrames = folders.map(() => []);
for (let round = 0; round < firstVisits; ++round)
    for (const i of round % 2 ? [...folders.keys()].reverse() : folders.keys())
        firstFrames[i].push(await firstFrame(folders[i]));
firstFrames.forEach((times, i) => (results[i].firstFrame = quantile(times.sort((a, b) => a - b), 0.5)));
console.log(`main-thread ms of one frame at ${viewport.width} x ${viewport.height}, ` +
            `${framesAt1x} frames at 1x and ${framesAt4x} at 4x CPU throttling`);
console.log('build       1x med  1x p90  4x med  4x p90  draws  first ms (median of ' +
            `${firstVisits} first visits)`);
row('this', results[0]);
if (results[1]) {
    row('baseline', results[1]);
    console.log(`4x median: ${(results[0].at4x.median / results[1].at4x.median).toFixed(2)} ` +
                'of the baseline\'s');
}
