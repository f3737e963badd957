// The game's page in a real browser: a folder served by Python's http.server on
// 127.0.0.1, and Debian's Chromium, headless, driven over the DevTools protocol on
// a pipe (no port to find, nothing to install). Pictures are the browser's own
// screenshots, decoded here.

import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {inflateSync} from 'node:zlib';

// The server and the browser end with this process, however it ends, and the
// temporary folders go with them.
const children = new Set(), folders = new Set();
function adopt(child)
{
    children.add(child);
    child.once('exit', () => children.delete(child));
    return child;
}
process.once('exit', () => {
    children.forEach(child => child.kill('SIGKILL'));
    folders.forEach(folder => rmSync(folder, {recursive: true, force: true}));
});
for (const signal of ['SIGINT', 'SIGTERM'])
    process.once(signal, () => process.exit(1));

// A new temporary folder, removed by removeFolder or at the latest when the process ends.
export function temporaryFolder(prefix)
{
    const folder = mkdtempSync(join(tmpdir(), prefix));
    folders.add(folder);
    return folder;
}

export function removeFolder(folder)
{
    rmSync(folder, {recursive: true, force: true});
    folders.delete(folder);
}

// A command to the browser that has no answer by then has failed: the browser is stuck.
const answerSeconds = 60;

// Waits for a line of a child's output that the pattern matches; rejects when the
// child ends first or the bound passes.
function waitForLine(child, stream, pattern, seconds)
{
    return new Promise((resolve, reject) => {
        let text = '';
        const timer = setTimeout(() => reject(new Error(`no "${pattern}" in ${seconds} s`)),
                                 seconds * 1000);
        const onData = chunk => {
            text += chunk;
            const match = text.match(pattern);
            if (match) {
                clearTimeout(timer);
                stream.off('data', onData);
                resolve(match);
            }
        };
        stream.setEncoding('utf8');
        stream.on('data', onData);
        child.once('exit', code => {
            clearTimeout(timer);
            reject(new Error(`ended with ${code} before "${pattern}": ${text}`));
        });
    });
}

// Serves a folder on a free port of 127.0.0.1; resolves to {url, close}.
export async function servePage(folder)
{
    const server = adopt(spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1'],
                         {cwd: folder, stdio: ['ignore', 'pipe', 'pipe']}));
    server.stderr.resume();
    const [, host, port] = await waitForLine(server, server.stdout, /on (\S+) port (\d+)/, 30);
    return {
        url: `http://${host}:${port}/`,
        close: () => server.kill(),
    };
}

// A PNG of 8-bit RGB or RGBA, not interlaced (what Chromium writes): its pixels as
// rows of `channels` bytes each, top row first; `offset(x, y)` is where the red
// byte of a pixel lies in `data`, green and blue following.
export function decodePng(png)
{
    let at = 8, width = 0, height = 0, channels = 0;
    const compressed = [];
    while (at < png.length) {
        const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
        const body = png.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const depth = body[8], colour = body[9], interlace = body[12];
            channels = {2: 3, 6: 4}[colour];
            if (depth !== 8 || !channels || interlace)
                throw new Error(`PNG form not read here: depth ${depth}, colour ${colour}`);
        } else if (type === 'IDAT') {
            compressed.push(body);
        }
        at += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(compressed)), stride = width * channels;
    const data = Buffer.alloc(height * stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)], from = y * (stride + 1) + 1, row = y * stride;
        const up = row - stride, c = channels;
        for (let i = 0; i < stride; ++i) {
            const a = i >= c ? data[row + i - c] : 0, b = y > 0 ? data[up + i] : 0;
            let predictor = 0;
            switch (filter) {
            case 1:
                predictor = a;
                break;
            case 2:
                predictor = b;
                break;
            case 3:
                predictor = (a + b) >> 1;
                break;
            case 4: {
                const d = y > 0 && i >= c ? data[up + i - c] : 0, p = a + b - d;
                const pa = Math.abs(p - a), pb = Math.abs(p - b), pd = Math.abs(p - d);
                predictor = pa <= pb && pa <= pd ? a : pb <= pd ? b : d;
            }
            }
            data[row + i] = (raw[from + i] + predictor) & 255;
        }
    }
    return {width, height, channels, data, offset: (x, y) => (y * width + x) * channels};
}

// The flags that keep Chromium to itself on a machine without a network, and
// keep the page's animation frames coming while nobody looks at it.
const chromiumFlags = [
    '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic', '--disable-extensions',
    '--disable-default-apps', '--disable-breakpad', '--disable-domain-reliability',
    '--disable-features=Translate,MediaRouter,OptimizationHints', '--mute-audio',
    '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
    '--disable-backgrounding-occluded-windows', '--force-device-scale-factor=1',
    '--window-size=1400,1300', '--remote-debugging-pipe',
];

export class Browser {
    // Starts Chromium with a profile of its own and attaches to its one page.
    static async launch()
    {
        const browser = new Browser();
        browser.profile = temporaryFolder('marble-chromium-');
        browser.process = adopt(spawn(
            process.env.CHROMIUM || 'chromium',
            [...chromiumFlags, `--user-data-dir=${browser.profile}`, 'about:blank'],
            {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']}));
        // The end of its messages tells why, should it end on its own.
        let log = '';
        browser.process.stderr.setEncoding('utf8');
        browser.process.stderr.on('data', text => (log = (log + text).slice(-2000)));
        browser.process.on('exit',
                           code => browser.failAll(new Error(`Chromium ended (${code}): ${log}`)));
        browser.pending = new Map();
        browser.listeners = [];
        browser.nextId = 1;
        let input = '';
        browser.process.stdio[3].on('error', () => {}); // a browser gone says so on exit
        browser.process.stdio[4].setEncoding('utf8');
        browser.process.stdio[4].on('data', chunk => {
            input += chunk;
            let end;
            while ((end = input.indexOf('\0')) >= 0) {
                browser.receive(JSON.parse(input.slice(0, end)));
                input = input.slice(end + 1);
            }
        });
        const {targetInfos} = await browser.send('Target.getTargets');
        const page = targetInfos.find(t => t.type === 'page');
        if (!page)
            throw new Error('Chromium opened no page');
        const {sessionId} = await browser.send('Target.attachToTarget',
                                               {targetId: page.targetId, flatten: true});
        browser.page = sessionId;
        return browser;
    }

    receive(message)
    {
        if (message.id && this.pending.has(message.id)) {
            const {resolve, reject, method, timer} = this.pending.get(message.id);
            this.pending.delete(message.id);
            clearTimeout(timer);
            if (message.error)
                reject(new Error(`${method}: ${message.error.message}`));
            else
                resolve(message.result);
        } else if (message.method) {
            for (const listener of this.listeners)
                listener(message);
        }
    }

    failAll(error)
    {
        for (const {reject, timer} of this.pending.values()) {
            clearTimeout(timer);
            reject(error);
        }
        this.pending.clear();
    }

    // One command to the page, or with `to` null to the browser itself.
    send(method, params = {}, to = undefined)
    {
        const id = this.nextId++;
        const message = {id, method, params};
        const sessionId = to === undefined ? this.page : to;
        if (sessionId)
            message.sessionId = sessionId;
        return new Promise((resolve, reject) => {
            const timer = setTimeout(() => {
                this.pending.delete(id);
                reject(new Error(`${method}: no answer in ${answerSeconds} s`));
            }, answerSeconds * 1000);
            this.pending.set(id, {resolve, reject, method, timer});
            this.process.stdio[3].write(JSON.stringify(message) + '\0');
        });
    }

    // Calls back with every event of the page.
    on(method, callback)
    {
        this.listeners.push(m => m.method === method && m.sessionId === this.page &&
                                 callback(m.params));
    }

    // The value of an expression in the page (promises awaited).
    async evaluate(expression)
    {
        const {result, exceptionDetails} = await this.send(
            'Runtime.evaluate', {expression, returnByValue: true, awaitPromise: true});
        if (exceptionDetails)
            throw new Error(`${expression}: ${exceptionDetails.exception?.description ??
                                              exceptionDetails.text}`);
        return result.value;
    }

    // The PNG of a rectangle of the page, as the browser composes it.
    // `scale` is the picture's pixels per CSS pixel.
    async screenshotPng(clip, scale = 1)
    {
        const {data} = await this.send(
            'Page.captureScreenshot',
            {format: 'png', clip: {...clip, scale}, optimizeForSpeed: true});
        return Buffer.from(data, 'base64');
    }

    // A letter key or Escape pressed or released, as a keyboard sends it: key, code,
    // key code, and a letter's character on a press.
    async key(key, down, {autoRepeat = false} = {})
    {
        const named = key === 'Escape';
        const [code, keyCode] = named ? ['Escape', 27] : [`Key${key.toUpperCase()}`,
                                                          key.toUpperCase().charCodeAt(0)];
        const text = named ? '' : key;
        await this.send('Input.dispatchKeyEvent', {
            type: down ? (text ? 'keyDown' : 'rawKeyDown') : 'keyUp',
            key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode, autoRepeat,
            ...(down && text ? {text, unmodifiedText: text} : {}),
        });
    }

    // A touch event of the page: type touchStart, touchMove, touchEnd or touchCancel,
    // with the fingers still down (or, for the end, none), each {x, y, id}.
    async touch(type, points)
    {
        await this.send('Input.dispatchTouchEvent', {
            type, touchPoints: points.map(p => ({x: p.x, y: p.y, id: p.id ?? 0, radiusX: 5,
                                                 radiusY: 5, force: 1})),
        });
    }

    // The page's window: CSS pixels, device pixel ratio, and a touch screen or not.
    async setViewport({width, height, ratio = 1, touch = false})
    {
        await this.send('Emulation.setDeviceMetricsOverride',
                        {width, height, deviceScaleFactor: ratio, mobile: touch});
        await this.send('Emulation.setTouchEmulationEnabled',
                        {enabled: touch, maxTouchPoints: touch ? 5 : 1});
    }

    // A left click at a point of the page.
    async click(x, y)
    {
        for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased'])
            await this.send('Input.dispatchMouseEvent',
                            {type, x, y, button: type === 'mouseMoved' ? 'none' : 'left',
                             clickCount: 1});
    }

    // Ends the browser and removes its profile.
    async close()
    {
        if (this.process.exitCode === null && this.process.signalCode === null) {
            const ended = new Promise(resolve => this.process.once('exit', resolve));
            this.send('Browser.close', {}, null).catch(() => {});
            const timer = setTimeout(() => this.process.kill('SIGKILL'), 10000);
            await ended;
            clearTimeout(timer);
        }
        removeFolder(this.profile);
    }
}
