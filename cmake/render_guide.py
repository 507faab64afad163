#!/usr/bin/env python3
"""Renders the user guide (docs/guide/*.md) to HTML pages for the package.

    render_guide.py SOURCE_DIR OUTPUT_DIR

Knows the Markdown the guide uses: headings, paragraphs, bulleted and
numbered lists (items may hold further paragraphs and pictures), tables,
indented code blocks, and inline code, bold, links and pictures. Links to
another page (.md) become links to its .html; headings get the anchors the
links name. Pictures are copied to OUTPUT_DIR/images. No network, no
packages beyond Python's own.
"""

import html
import pathlib
import re
import shutil
import sys

STYLE = """
body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; line-height: 1.45; color: #222; }
img { max-width: 100%; border: 1px solid #bbb; }
table { border-collapse: collapse; margin: 0.6em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.5em; text-align: left; vertical-align: top; }
th { background: #eef; }
code, pre { font-family: monospace; background: #f4f4f4; }
pre { padding: 0.5em; overflow-x: auto; }
h1 { border-bottom: 2px solid #1a468c; }
a { color: #1a468c; }
"""


def anchor(text):
    text = re.sub(r"[`*]", "", text).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def inline(text):
    out = []
    pos = 0
    pattern = re.compile(r"`([^`]+)`|!\[([^\]]*)\]\(([^)]+)\)|\[([^\]]+)\]\(([^)]+)\)|\*\*(.+?)\*\*")
    for m in pattern.finditer(text):
        out.append(html.escape(text[pos:m.start()], quote=False))
        if m.group(1) is not None:
            out.append("<code>%s</code>" % html.escape(m.group(1), quote=False))
        elif m.group(3) is not None:
            out.append('<img src="%s" alt="%s">' % (html.escape(m.group(3)), html.escape(m.group(2))))
        elif m.group(5) is not None:
            target = re.sub(r"\.md(#|$)", r".html\1", m.group(5))
            out.append('<a href="%s">%s</a>' % (html.escape(target), inline(m.group(4))))
        else:
            out.append("<strong>%s</strong>" % inline(m.group(6)))
        pos = m.end()
    out.append(html.escape(text[pos:], quote=False))
    return "".join(out)


def table(rows):
    cells = [[c.strip() for c in r.strip().strip("|").split("|")] for r in rows]
    head, body = cells[0], cells[2:]
    out = ["<table>", "<tr>" + "".join("<th>%s</th>" % inline(c) for c in head) + "</tr>"]
    for r in body:
        out.append("<tr>" + "".join("<td>%s</td>" % inline(c) for c in r) + "</tr>")
    out.append("</table>")
    return "\n".join(out)


def blocks(lines):
    """Renders a list of lines (already out-dented) to HTML."""
    out = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        heading = re.match(r"(#{1,4}) (.*)", line)
        if heading:
            level, text = len(heading.group(1)), heading.group(2)
            out.append('<h%d id="%s">%s</h%d>' % (level, anchor(text), inline(text), level))
            i += 1
        elif line.startswith("    "):
            code = []
            while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
                code.append(lines[i][4:])
                i += 1
            out.append("<pre>%s</pre>" % html.escape("\n".join(code).rstrip("\n"), quote=False))
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i])
                i += 1
            out.append(table(rows))
        elif re.match(r"(- |\d+\. )", line):
            ordered = not line.startswith("- ")
            marker = r"\d+\. " if ordered else r"- "
            items = []
            while i < len(lines):
                m = re.match(marker, lines[i])
                if m:
                    items.append([lines[i][m.end():]])
                    i += 1
                elif lines[i].startswith("  ") and items:
                    items[-1].append(lines[i].lstrip() if not lines[i].startswith("    ") else lines[i][3:])
                    i += 1
                elif not lines[i].strip() and i + 1 < len(lines) and \
                        (lines[i + 1].startswith("  ") or re.match(marker, lines[i + 1])):
                    items[-1].append("")
                    i += 1
                else:
                    break
            tag = "ol" if ordered else "ul"
            out.append("<%s>" % tag)
            for item in items:
                inner = blocks(item)
                if inner.count("<p>") == 1 and inner.startswith("<p>") and inner.endswith("</p>"):
                    inner = inner[3:-4]
                out.append("<li>%s</li>" % inner)
            out.append("</%s>" % tag)
        else:
            para = []
            while i < len(lines) and lines[i].strip() and not re.match(r"(#{1,4} |\||- |\d+\. |    )", lines[i]):
                para.append(lines[i].strip())
                i += 1
            if not para:  # a line no rule takes: keep it as text
                para.append(lines[i].strip())
                i += 1
            out.append("<p>%s</p>" % inline(" ".join(para)))
    return "\n".join(out)


def render(source):
    text = source.read_text(encoding="utf-8")
    title = re.search(r"^# (.*)$", text, re.M)
    title = re.sub(r"[`*]", "", title.group(1)) if title else source.stem
    body = blocks(text.splitlines())
    return ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (html.escape(title), STYLE, body))


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: render_guide.py SOURCE_DIR OUTPUT_DIR\n")
        return 2
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    pages = sorted(source.glob("*.md"))
    if not pages:
        sys.stderr.write("render_guide.py: no pages in %s\n" % source)
        return 1
    (output / "images").mkdir(parents=True, exist_ok=True)
    for page in pages:
        (output / (page.stem + ".html")).write_text(render(page), encoding="utf-8")
    for picture in sorted((source / "images").glob("*.png")):
        shutil.copyfile(picture, output / "images" / picture.name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
