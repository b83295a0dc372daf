#!/usr/bin/env python3
"""Writes the translations kept in translations.json into the .ts files that lupdate refreshed.

Usage (from the repository root):
  for l in de it jp; do lupdate -I . -silent -no-obsolete -locations none control \\
      -ts control/ui/translations/Lumarex_$l.ts; done
  control/ui/translations/fill.py
A text without a translation in translations.json stays unfinished, which the settings test
reports.
"""
import html
import json
import pathlib
import re

HERE = pathlib.Path(__file__).resolve().parent
LANGUAGES = {"de": "de_DE", "it": "it_IT", "jp": "ja_JP"}
table = json.loads((HERE / "translations.json").read_text(encoding="utf-8"))

for suffix, locale in LANGUAGES.items():
    path = HERE / f"Lumarex_{suffix}.ts"
    text = path.read_text(encoding="utf-8")
    text = re.sub(r'<TS version="2.1"[^>]*>', f'<TS version="2.1" language="{locale}">', text)

    def fill(match):
        source = html.unescape(match.group(1))
        translated = table.get(source, {}).get(suffix)
        if not translated:
            return match.group(0)
        escaped = html.escape(translated, quote=False)
        return f"<source>{match.group(1)}</source>\n        <translation>{escaped}</translation>"

    text = re.sub(r"<source>(.*?)</source>\s*<translation[^>]*>.*?</translation>", fill, text, flags=re.S)
    path.write_text(text, encoding="utf-8")
