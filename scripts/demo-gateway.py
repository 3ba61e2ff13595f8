#!/usr/bin/env python3
"""A stand-in SMS web gateway for trying the Internet SMS window offline.

Usage: demo-gateway.py PORT [--operators PATH]

Listens on 127.0.0.1:PORT and takes the form by GET or POST on any path. It
answers a KOI8-R page that says "Сообщение отправлено" when the form carries a
non-empty "phone" field, and an error page without that text otherwise. With
--operators it first writes a matching Operators.ini (Windows-1251) to PATH:
two profiles, one sending by POST and one by GET.
"""
import argparse
import http.server
import sys
from urllib.parse import unquote_to_bytes

SUCCESS = "Сообщение отправлено"


def sample_operators(port: int) -> bytes:
    """The profile file for this gateway, as the program stores it."""
    lines = []
    for name, method in (("Demo POST", "POST"), ("Demo GET", "GET")):
        lines += [
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
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


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
    if args.operators:
        with open(args.operators, "wb") as f:
            f.write(sample_operators(args.port))
    server = http.server.HTTPServer(("127.0.0.1", args.port), Gateway)
    sys.stderr.write(f"demo gateway on http://127.0.0.1:{args.port}/\n")
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
