#!/usr/bin/env python3
"""The desktop program's texts against its translation tables (src/gui/UiTexts*.cpp):
 - every tr("...") and QT_TR_NOOP("...") of the sources and every translatable
   <string> of a Designer file has a row, with a text in every language;
 - no English text has two rows;
 - a translation keeps the %N markers of the English text and has exactly one
   accelerator (&) where the English text has one, none where it has none;
 - within one window file, a translation gives two controls the same key only
   where the English text already does.
Prints each breach and exits 1 when there is one."""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

GUI = pathlib.Path(__file__).resolve().parent.parent / "src" / "gui"
LANGUAGES = ["de", "es", "fr", "it", "nl", "no", "pt"]

# Comments, string literals (any prefix, raw or not), character literals,
# words and numbers (with ' separators), any other character.
TOKEN = re.compile(
    r'(?P<comment>//[^\n]*|/\*.*?\*/)'
    r'|(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\((?P<raw>.*?)\)(?P=delim)"'
    r'|(?:u8|u|U|L)?"(?P<quoted>(?:\\.|[^"\\\n])*)"'
    r"|'(?:\\.|[^'\\\n])*'"
    r"|(?P<word>[A-Za-z_]\w*)|\d[\w']*"
    r"|(?P<space>\s+)|.", re.S)
ESCAPE = re.compile(r'\\(x[0-9a-fA-F]+|[0-7]{1,3}|.)', re.S)
SIMPLE = {"n": 10, "t": 9, "r": 13, "a": 7, "b": 8, "f": 12, "v": 11}


def unescape(body):
    """The bytes the compiler stores for an ordinary literal's body."""
    out = bytearray()
    pos = 0
    for m in ESCAPE.finditer(body):
        out += body[pos:m.start()].encode()
        e = m.group(1)
        if e[0] == "x":
            out.append(int(e[1:], 16) & 0xFF)
        elif e[0] in "01234567":
            out.append(int(e, 8) & 0xFF)
        else:
            out += bytes([SIMPLE[e]]) if e in SIMPLE else e.encode()
        pos = m.end()
    out += body[pos:].encode()
    return out


def tokens(code):
    """(kind, value) pairs without blanks and comments; a literal's value is its bytes."""
    for m in TOKEN.finditer(code):
        if m.group("comment") or m.group("space"):
            continue
        if m.group("raw") is not None:
            yield "literal", m.group("raw").encode()
        elif m.group("quoted") is not None:
            yield "literal", unescape(m.group("quoted"))
        else:
            yield ("word" if m.group("word") else "other"), m.group(0)


def joined_literals(toks, i):
    """The adjacent literals from toks[i] on, joined, and the index after them."""
    text = bytearray()
    while i < len(toks) and toks[i][0] == "literal":
        text += toks[i][1]
        i += 1
    return bytes(text), i


def tr_texts(code, with_fields=False):
    """First arguments of tr() and QT_TR_NOOP() made of literals; with_fields,
    the .en = ... .pt = ... rows of a table instead."""
    toks = list(tokens(code))
    found = []
    for i, (kind, value) in enumerate(toks):
        if kind != "word" or i + 1 >= len(toks):
            continue
        if with_fields:
            if i > 0 and toks[i - 1] == ("other", ".") and toks[i + 1] == ("other", "="):
                found.append((value, joined_literals(toks, i + 2)[0]))
        elif value in ("tr", "QT_TR_NOOP") and toks[i + 1] == ("other", "("):
            text, end = joined_literals(toks, i + 2)
            if end > i + 2:
                found.append(text)
    return found


def table_rows():
    rows = []
    for path in sorted(GUI.glob("UiTexts*.cpp")):
        for field, value in tr_texts(path.read_text(encoding="utf-8"), with_fields=True):
            if field == "en":
                rows.append({"en": value})
            elif rows:
                rows[-1][field] = value
    return rows


def accelerators(text):
    return [k.lower() for k in re.findall(r"&(&|.|$)", text, re.S) if k != "&"]


def placeholders(text):
    return sorted(re.findall(r"%L?\d{1,2}", text))


def clashes(keys):
    return {k for k in keys if keys.count(k) > 1}


def main():
    problems = []
    # The scanner on the cases that could fool it.
    sample = r'''// tr("commented out")
        auto a = tr("Plain"); auto b = QObject::tr( "Two " /* why */ "parts");
        auto c = tr("Quote \" and\nnew %1", "disambiguation"); auto e = tr(variable);
        auto f = "tr(\"inside\")"; auto g = 1'000 + '"'; auto i = QT_TR_NOOP(u8"Marked");'''
    if tr_texts(sample) != [b"Plain", b"Two parts", b'Quote " and\nnew %1', b"Marked"]:
        problems.append("the tr() scanner misreads its sample: %r" % tr_texts(sample))

    sources = []  # (file, text)
    ui_files = {}
    for path in sorted(GUI.iterdir()):
        if path.suffix == ".ui":
            texts = [s.text.encode() for s in ET.parse(path).iter("string")
                     if s.get("notr") != "true" and s.text]
            ui_files[path.name] = texts
            sources += [(path.name, t) for t in texts]
        elif path.suffix in (".cpp", ".h"):
            sources += [(path.name, t) for t in tr_texts(path.read_text(encoding="utf-8"))]
    if not ui_files or len(sources) == sum(map(len, ui_files.values())):
        problems.append("no texts found in the window files or in the code: the scan is broken")

    rows = {}
    for raw in table_rows():
        try:
            row = {k: v.decode("utf-8") for k, v in raw.items()}
        except UnicodeDecodeError:
            problems.append("not UTF-8: %r" % raw)
            continue
        en = row["en"]
        if not en or en in rows:
            problems.append('English text empty or given twice: "%s"' % en)
        rows[en] = row
        if len(accelerators(en)) > 1:
            problems.append('en: "%s" has more than one accelerator' % en)
        for lang in LANGUAGES:
            t = row.get(lang)
            if not t:
                continue
            if placeholders(t) != placeholders(en):
                problems.append('%s: "%s" changes the markers of "%s"' % (lang, t, en))
            if len(accelerators(t)) != min(len(accelerators(en)), 1):
                problems.append('%s: "%s" changes the accelerators of "%s"' % (lang, t, en))

    for name, text in sources:
        row = rows.get(text.decode("utf-8", "replace"))
        if row is None:
            problems.append('%s: "%s" has no row' % (name, text.decode("utf-8", "replace")))
            continue
        problems += ['%s: "%s" has no %s text' % (name, row["en"], lang)
                     for lang in LANGUAGES if not row.get(lang)]

    for name, texts in ui_files.items():
        decoded = [t.decode("utf-8") for t in texts]
        if clashes([k for t in decoded for k in accelerators(t)]):
            continue
        for lang in LANGUAGES:
            keys = [k for t in decoded if t in rows for k in accelerators(rows[t].get(lang) or "")]
            if clashes(keys):
                problems.append("%s %s: two controls on %s" % (name, lang, " ".join(sorted(clashes(keys)))))

    print("\n".join(problems)) if problems else None
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
