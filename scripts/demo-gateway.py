#!/usr/bin/env python3
"""A stand-in SMS web gateway for trying the Internet SMS window offline.

Usage: demo-gateway.py PORT [--operators PATH]

Listens on 127.0.0.1:PORT (0: any free port) and prints the port it listens
on as the first line of its output. It takes the form by GET or POST on any
path and answers a KOI8-R page that says "Сообщение отправлено" when the form
carries a non-empty "phone" field, and an error page without that text
otherwise. With --operators it brings the two demo profiles of the
Operators.ini (Windows-1251) at PATH up to this port, one sending by POST and
one by GET, creating the file or the profiles where they are missing; every
other profile and line of the file stays as it is.
"""
import argparse
import http.server
import os
import sys
from urllib.parse import unquote_to_bytes

SUCCESS = "Сообщение отправлено"


DEMO_PROFILES = (("Demo POST", "POST"), ("Demo GET", "GET"))


def demo_profile(name: str, method: str, port: int) -> list:
    """One demo profile's lines, as the program stores them."""
    return [
        f"[{name}]",
        f"URL=127.0.0.1:{port}/sms",
        "NumField=phone",
        "TxtField=msg",
        f"Method={method}",
        "ActName=send",
        "Action=Send",
        f"Reply={SUCCESS}",
        "Chars=KOI8R",
        "AdName1=lang",
        "AdVal1=ru",
    ]


def section_name(line: bytes):
    """The name of a section header line, or None."""
    text = line.strip(b" \t")
    if not text.startswith(b"["):
        return None
    return text[1:].split(b"]", 1)[0].strip(b" \t").decode("cp1251").lower()


def update_operators(data: bytes, port: int) -> bytes:
    """Points the demo profiles at this port; adds any that are missing."""
    lines = data.splitlines()
    section = None
    seen = set()
    wanted = {name.lower(): (name, method) for name, method in DEMO_PROFILES}
    for i, line in enumerate(lines):
        name = section_name(line)
        if name is not None:
            # Only the first section of a name counts, as the program reads it.
            section = name if name in wanted and name not in seen else None
            seen.add(name)
            continue
        key, eq, _ = line.partition(b"=")
        if section and eq and key.strip(b" \t").lower() == b"url":
            lines[i] = key + b"=" + f"127.0.0.1:{port}/sms".encode()
    for key, (name, method) in wanted.items():
        if key not in seen:
            lines += [l.encode("cp1251") for l in demo_profile(name, method, port)]
    return b"".join(l + b"\r\n" for l in lines)


def parse_form(data: bytes) -> dict:
    """Fields of raw form data: the program sends them unescaped and ends them with CR LF LF."""
    fields = {}
    for piece in data.rstrip(b"\r\n").split(b"&"):
        name, _, value = piece.partition(b"=")
        fields.setdefault(name.decode("cp1251"), value.decode("cp1251"))
    return fields


def page(title: str, text: str) -> bytes:
    html = (f"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"
            f"<title>{title}</title></head>\n<body>\n<p>{text}</p>\n</body></html>\n")
    return html.encode("koi8-r")


class Gateway(http.server.BaseHTTPRequestHandler):
    server_version = "DemoGateway/1.0"

    def answer(self, data: bytes) -> None:
        fields = parse_form(data)
        phone = fields.get("phone", "").strip()
        sys.stderr.write(f"{self.command} fields: {fields!r}\n")
        if phone:
            body = page("SMS", f"{SUCCESS}: {phone}")
        else:
            body = page("SMS", "Ошибка: не указан номер телефона")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=koi8-r")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self) -> None:
        _, _, query = self.path.partition("?")
        self.answer(unquote_to_bytes(query))

    def do_POST(self) -> None:
        length = int(self.headers.get("Content-Length", "0") or 0)
        self.answer(self.rfile.read(length))


def main() -> int:
    parser = argparse.ArgumentParser(description="Stand-in SMS web gateway on 127.0.0.1.")
    parser.add_argument("port", type=int)
    parser.add_argument("--operators", metavar="PATH", help="write a matching Operators.ini there first")
    args = parser.parse_args()
    try:
        server = http.server.HTTPServer(("127.0.0.1", args.port), Gateway)
    except OSError as e:
        sys.stderr.write(f"demo gateway: cannot listen on 127.0.0.1:{args.port}: {e.strerror}\n")
        return 1
    port = server.server_address[1]
    if args.operators:
        try:
            with open(args.operators, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            data = b""
        updated = update_operators(data, port)
        if updated != data:
            temporary = args.operators + ".new"
            with open(temporary, "wb") as f:
                f.write(updated)
            os.replace(temporary, args.operators)
    print(port, flush=True)
    sys.stderr.write(f"demo gateway on http://127.0.0.1:{port}/\n")
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
