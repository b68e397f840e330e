#!/usr/bin/env python3
"""A small HTTP server for the shell's tests, on loopback only.

    http_test_server.py --root DIR [--cert FILE --key FILE (HTTPS)]

Prints "PORT <n>" once it listens, then one line "REQUEST <request line>" for
every request it receives. Files are served from DIR; a few paths behave
specially:

    /status/<code>/...       answers <code> with a small HTML page (and the
                             reason phrase R after /status/<code>/why:R/)
    /hang/...                accepts and never answers
    /slow/<ms>/...           answers 200 with an empty body after <ms> ms, or
                             with DIR/<f> for /slow/<ms>/<f>
    /empty/...               answers 200 with an empty body
    /type/<type>/<sub>/<f>   serves DIR/<f> with the content type <type>/<sub>
                             ("-" for <sub> means an empty subtype, "~" in
                             <type> or <sub> stands for "/")
    /drop/...                sends the headers and part of the body, then closes
    /endless/...             answers 200 with no length and a body that never
                             ends (until the client goes away); the bytes sent
                             are reported as "SENT <n>" when it ends
    /huge/...                announces a 10 GB body, sends a little, then waits
    (for /endless and /huge, "?type=<type>/<sub>" sets the content type; it is
    text/xml otherwise)
    /nolength/<f>            serves DIR/<f> with neither Content-Length nor
                             chunks: the body ends when the connection closes
    /chunked/<f>             serves DIR/<f> in chunks, ending properly
    /chunkcut/<f>            serves half of DIR/<f> in chunks, then closes
                             without the last chunk
    /gzip/<f>                serves DIR/<f> with its length, packed if accepted
    /redirect/<code>/<n>/... answers <code> to /redirect/<code>/<n-1>/..., at 0 to the rest;
                             "loop": to itself, "http:<port>": the rest on 127.0.0.1:<port>

Requests whose target is an absolute address are served like their path.
"""
import argparse
import gzip
import mimetypes
import os
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, HTTPServer

ROOT = '.'
LOCK = threading.Lock()


def say(line):
    with LOCK:
        sys.stdout.write(line + '\n')
        sys.stdout.flush()


class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, fmt, *args):
        pass

    def send_body(self, code, body, content_type, reason=None, headers=()):
        self.send_response(code, reason)
        for name, value in headers:
            self.send_header(name, value)
        if content_type is not None:
            self.send_header('Content-Type', content_type)
        self.send_header('Content-Length', str(len(body)))
        self.send_header('Connection', 'close')
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def do_GET(self):
        say('REQUEST ' + self.requestline)
        target = self.path
        if '://' in target:
            target = urllib.parse.urlsplit(target).path
        path = urllib.parse.unquote(target.split('?', 1)[0])
        query = urllib.parse.parse_qs(self.path.split('?', 1)[1]) if '?' in self.path else {}
        special_type = query.get('type', ['text/xml'])[0]
        parts = [p for p in path.split('/') if p]

        if parts[:1] == ['status'] and len(parts) >= 2:
            code = int(parts[1])
            reason = parts[2][4:] if len(parts) > 2 and parts[2].startswith('why:') else None
            self.send_body(code, b'<html><body><h1>%d</h1></body></html>' % code, 'text/html', reason)
            return
        if parts[:1] == ['hang']:
            time.sleep(120)
            return
        if parts[:1] == ['slow'] and len(parts) >= 2:
            time.sleep(int(parts[1]) / 1000)
            file = os.path.realpath(os.path.join(ROOT, *parts[2:])) if parts[2:] else ''
            if file.startswith(os.path.realpath(ROOT) + os.sep) and os.path.isfile(file):
                with open(file, 'rb') as f:
                    self.send_body(200, f.read(), mimetypes.guess_type(file)[0] or 'text/html')
            else:
                self.send_body(200, b'', 'text/plain')
            return
        if parts[:1] == ['redirect'] and len(parts) >= 3:
            rest, n = '/' + '/'.join(parts[3:]), parts[2]
            location = (target if n == 'loop' else 'http://127.0.0.1:' + n[5:] + rest if n.startswith('http:')
                        else '/redirect/%s/%d%s' % (parts[1], int(n) - 1, rest) if int(n) > 0 else rest)
            self.send_body(int(parts[1]), b'<p>moved</p>', 'text/html', headers=[('Location', location)])
            return
        if parts[:1] == ['empty']:
            self.send_body(200, b'', 'text/xml')
            return
        if parts[:1] == ['drop']:
            self.send_response(200)
            self.send_header('Content-Type', 'application/octet-stream')
            self.send_header('Content-Length', '100000')
            self.end_headers()
            self.wfile.write(b'x' * 1000)
            self.wfile.flush()
            self.close_connection = True
            return
        if parts[:1] == ['endless']:
            self.send_response(200)
            self.send_header('Content-Type', special_type)
            self.send_header('Connection', 'close')
            self.end_headers()
            block = b'<versions>' + b'<!-- ' + b'x' * 65000 + b' -->'
            sent = 0
            try:
                for _ in range(1000000):
                    self.wfile.write(block)
                    sent += len(block)
            except OSError:
                pass
            say('SENT %d' % sent)
            self.close_connection = True
            return
        if parts[:1] == ['huge']:
            self.send_response(200)
            self.send_header('Content-Type', special_type)
            self.send_header('Content-Length', str(10 * 1024 ** 3))
            self.end_headers()
            try:
                self.wfile.write(b'<versions>')
                self.wfile.flush()
                time.sleep(30)
            except OSError:
                pass
            self.close_connection = True
            return
        if parts[:1] in (['nolength'], ['chunked'], ['chunkcut'], ['gzip']) and len(parts) >= 2:
            mode = parts[0]
            file = os.path.realpath(os.path.join(ROOT, *parts[1:]))
            if not file.startswith(os.path.realpath(ROOT) + os.sep) or not os.path.isfile(file):
                self.send_body(404, b'<html><body>not found</body></html>', 'text/html')
                return
            with open(file, 'rb') as f:
                body = f.read()
            self.send_response(200)
            self.send_header('Content-Type', 'application/octet-stream')
            if mode == 'gzip':
                if 'gzip' in self.headers.get('Accept-Encoding', ''):
                    body = gzip.compress(body)
                    self.send_header('Content-Encoding', 'gzip')
                self.send_header('Content-Length', str(len(body)))
                self.end_headers()
                self.wfile.write(body)
            elif mode == 'nolength':
                self.send_header('Connection', 'close')
                self.end_headers()
                self.wfile.write(body)
            else:
                self.send_header('Transfer-Encoding', 'chunked')
                self.end_headers()
                if mode == 'chunkcut':
                    body = body[:len(body) // 2]
                for i in range(0, len(body), 1000):
                    piece = body[i:i + 1000]
                    self.wfile.write(b'%x\r\n' % len(piece) + piece + b'\r\n')
                if mode == 'chunked':
                    self.wfile.write(b'0\r\n\r\n')
            self.wfile.flush()
            self.close_connection = True
            return
        content_type = None
        if parts[:1] == ['type'] and len(parts) >= 4:
            sub = '' if parts[2] == '-' else parts[2]
            content_type = (parts[1] + '/' + sub).replace('~', '/')
            parts = parts[3:]

        file = os.path.realpath(os.path.join(ROOT, *parts)) if parts else ''
        if not file.startswith(os.path.realpath(ROOT) + os.sep) or not os.path.isfile(file):
            self.send_body(404, b'<html><body>not found</body></html>', 'text/html')
            return
        with open(file, 'rb') as f:
            body = f.read()
        if content_type is None:
            content_type = mimetypes.guess_type(file)[0] or 'application/octet-stream'
        self.send_body(200, body, content_type)


class Server(socketserver.ThreadingMixIn, HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ROOT
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', default='.')
    parser.add_argument('--host', default='127.0.0.1')
    parser.add_argument('--cert')  # with --key: HTTPS
    parser.add_argument('--key')
    args = parser.parse_args()
    ROOT = args.root
    server = Server((args.host, 0), Handler)
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    say('PORT %d' % server.server_address[1])
    # The test that started us may die without stopping us: stop with it.
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
    server.serve_forever()


if __name__ == '__main__':
    main()
