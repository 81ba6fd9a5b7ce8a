// A plain static web server on 127.0.0.1, as a host would serve the site:
// files with their type and Last-Modified (a conditional request answered
// 304), gzipped when the browser accepts it (all but the PNG icons, which
// are compressed already), and every request kept with the bytes sent:
// the first visit's figures come from here.
//   const server = await serve(ROOT); server.url, server.requests, server.close()
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.json': 'application/json',
  '.wasm': 'application/wasm', '.wav': 'audio/wav', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

function serve(root) {
  const requests = [];
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    let file = path.join(root, pathname);
    if (!file.startsWith(root)) file = root;
    if (fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
    const entry = { path: pathname, status: 404, bytes: 0, raw: 0 };
    requests.push(entry);
    if (!fs.existsSync(file)) {
      response.writeHead(404);
      response.end();
      return;
    }
    const stat = fs.statSync(file);
    const modified = new Date(Math.floor(stat.mtimeMs / 1000) * 1000);
    const since = request.headers['if-modified-since'];
    if (since && new Date(since) >= modified) {
      entry.status = 304;
      response.writeHead(304, { 'Last-Modified': modified.toUTCString() });
      response.end();
      return;
    }
    let body = fs.readFileSync(file);
    entry.raw = body.length;
    const extension = path.extname(file);
    const headers = { 'Content-Type': types[extension] || 'application/octet-stream',
                      'Last-Modified': modified.toUTCString(), Vary: 'Accept-Encoding' };
    if (extension !== '.png' && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body, { level: 6 });
      headers['Content-Encoding'] = 'gzip';
    }
    entry.status = 200;
    entry.bytes = body.length;
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        requests,
        close: () => new Promise((done) => {
          server.closeAllConnections();
          server.close(done);
        }),
      });
    });
  });
}

module.exports = { serve };
