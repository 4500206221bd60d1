#!/usr/bin/env python3
"""Publishes with kpx_publish and reads the pages back with tools of other
origin: iconv decodes each page from CP932 and Python's html.parser reads every
movie block. Two folders: a few hundred generated movies, checked name by name,
and a table of hostile names (spaces, quotes, markup, percent signs, CP932
bytes, collisions, long names), checked for what must hold whatever the names.

Usage: check_published_pages.py PATH_TO_KPX_PUBLISH
"""

import hashlib
import html
import html.parser
import os
import pathlib
import subprocess
import sys
import tempfile
import unicodedata
import urllib.parse

PER_PAGE = 3
DATE = "2026-12-08"
PATTERN_PREFIX = "mv261208"  # the default rename pattern 'mv'yymmdd on DATE
LINK_PATH = "../movies/"     # from html/ to movies/, both under one folder
DISPOSITION = "devdl1q"      # download, with video, QLREP sound: the scan's defaults

KANA_STEMS = ["ｶﾀｶﾅ", "ﾑｰﾋﾞｰ", "ﾊﾟｰﾃｨｰ", "ｷｮｳﾄ｢ﾀﾋﾞ｣", "ｺﾞｼﾞﾗ､ﾓｽﾗ･ﾗﾄﾞﾝ"]
JAPANESE_STEMS = ["映画", "旅行の記録", "運動会ビデオ", "花火大会", "日本語名"]
ASCII_STEMS = ["clip_", "Movie", "HOLIDAY-", "a.b.c", "Zoo"]


class Movie:
    def __init__(self, name, size, kind):
        self.name = name
        self.size = size
        self.kind = kind  # "ascii", "kana" or "japanese"

    @property
    def stem(self):
        return self.name[: self.name.rfind(".")]

    def link_name(self):
        # The half-width kana block turns full-width; NFKC does the same for
        # these names (they hold no other compatibility characters).
        return unicodedata.normalize("NFKC", self.stem) if self.kind == "kana" else self.stem


def generate_movies(folder):
    movies = []
    for number in range(100):
        for kind, stems in (("ascii", ASCII_STEMS), ("kana", KANA_STEMS), ("japanese", JAPANESE_STEMS)):
            stem = stems[number % len(stems)]
            extension = ".AMC" if number % 7 == 0 else ".amc"
            name = f"{stem}{number:03d}{extension}"
            size = (number * 7919 + len(movies) * 131) % 23000 + 1
            (folder / name).write_bytes(bytes([number % 256]) * size)
            movies.append(Movie(name, size, kind))
    # Not movies: they must not appear anywhere.
    (folder / "readme.txt").write_bytes(b"not a movie")
    (folder / "sub.amc").mkdir()
    return movies


def listing_key(name):
    # The scan lists in UTF-16 order with ASCII letters upper-cased; these
    # names stay inside the basic plane, where code point order is the same.
    return "".join(c.upper() if "a" <= c <= "z" else c for c in name)


def expected_copy_names(movies):
    names = {}
    serial = 1
    for movie in movies:
        if movie.kind == "ascii":
            names[movie.name] = movie.name.lower()
        else:
            names[movie.name] = f"{PATTERN_PREFIX}{serial:02d}.amc"
            serial += 1
    return names


# File name (bytes, as the folder holds it) -> the link text a parser must read.
HOSTILE_NAMES = [
    (b"my clip.amc", "my clip"),
    (b"a&b<c>.amc", "a&b<c>"),
    (b"a&copy.amc", "a&copy"),  # an entity the user could have typed: it stays one
    (b"per%41cent.amc", "per%41cent"),
    (b'x" onmouseover="y.amc', 'x" onmouseover="y'),
    (b"it's#1?=`.amc", "it's#1?=`"),
    (b"tab\there.amc", "tab\there"),
    ("映画".encode("cp932") + b".amc", "映画"),  # unpacked from a Windows archive
    ("映画".encode() + b".amc", "映画"),
    (f"{PATTERN_PREFIX}01.amc".encode(), f"{PATTERN_PREFIX}01"),  # the first pattern name
    (b"MOVIE.AMC", "MOVIE"),
    (b"movie.amc", "movie"),
    (b"L" * 236 + b".amc", "L" * 236),
    ("ｶﾀｶﾅ".encode() + b".amc", "カタカナ"),
    ("café".encode() + b".amc", "caf〓"),  # é is not in code page 932
    (b"\xff\xfe.amc", "〓〓"),  # neither UTF-8 nor CP932
]

# Folders named from the settings file, relative to it; the html folder's link
# to the movie folder then needs escaping too (チ ends in a backquote byte).
HOSTILE_SOURCE = "src dir#&チ"
HOSTILE_LAYOUTS = {
    "movies beside their sources": HOSTILE_SOURCE,
    "movies in a folder of their own": "mov 'q'",
}


class MovieBlockReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks = []

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if tag == "object":
            self.blocks.append({"data": attributes.get("data"), "standby": attributes.get("standby"),
                                "attributes": sorted(attributes)})
        elif tag == "param" and self.blocks:
            self.blocks[-1][attributes.get("name")] = attributes.get("value")

    handle_startendtag = handle_starttag


def run(program, *arguments, cwd=None):
    return subprocess.run([program, *arguments], check=True, capture_output=True, text=True, cwd=cwd).stdout


def decode_cp932(path):
    result = subprocess.run(["iconv", "-f", "CP932", "-t", "UTF-8", str(path)], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"{path.name} is not CP932: {result.stderr.decode(errors='replace')}")
    return result.stdout.decode("utf-8")


def read_blocks(check, html_dir, pages, per_page, movie_count):
    blocks = []
    for page_number, page in enumerate(pages):
        reader = MovieBlockReader()
        reader.feed(decode_cp932(html_dir / page))
        reader.close()
        check(len(reader.blocks) == min(per_page, movie_count - page_number * per_page),
              f"{page} holds {len(reader.blocks)} movies")
        blocks += reader.blocks
    check(len(blocks) == movie_count, f"{len(blocks)} movie blocks for {movie_count} movies")
    return blocks


def planned_names(plan_output, kind):
    # The destination is the last column and may itself hold a tab.
    return [line.split("\t", 2)[2] for line in plan_output.splitlines() if line.split("\t", 2)[1] == kind]


def page_names(movie_count):
    page_count = (movie_count + PER_PAGE - 1) // PER_PAGE
    return ["ezmovie.html"] + [f"ezmovie{n:02d}.html" for n in range(2, page_count + 1)]


def check_generated(program, root, check):
    source, html_dir, movie_dir = root / "source", root / "html", root / "movies"
    for folder in (source, html_dir, movie_dir):
        folder.mkdir()
    ini = root / "kpx_app.ini"
    ini.write_bytes(b"")
    movies = sorted(generate_movies(source), key=lambda m: listing_key(m.name))
    copy_names = expected_copy_names(movies)

    arguments = ["--ini", str(ini), "--source", str(source), "--html-dir", str(html_dir),
                 "--movie-dir", str(movie_dir), "--per-page", str(PER_PAGE), "--date", DATE,
                 "--policy", "overwrite", "--quiet"]
    plan = run(program, *arguments, "--dry-run")
    check(not any(html_dir.iterdir()) and not any(movie_dir.iterdir()), "the dry run wrote files")
    planned_pages = [pathlib.Path(p).name for p in planned_names(plan, "ページ")]
    check([pathlib.Path(p).name for p in planned_names(plan, "動画")] == [copy_names[m.name] for m in movies],
          "the plan's copy names or order differ")
    check(planned_pages == page_names(len(movies)), "the plan's page names differ")

    run(program, *arguments)
    check(sorted(p.name for p in html_dir.iterdir()) == sorted(planned_pages), "pages differ from the plan")
    for movie in movies:
        copy = movie_dir / copy_names[movie.name]
        check(copy.is_file() and copy.stat().st_size == movie.size, f"copy of {movie.name} is wrong")

    blocks = read_blocks(check, html_dir, planned_pages, PER_PAGE, len(movies))
    for movie, block in zip(movies, blocks):
        expected = {
            "data": LINK_PATH + copy_names[movie.name],
            "standby": f"{movie.link_name()} ({movie.size:,}byte)",
            "title": movie.link_name(),
            "size": str(movie.size),
            "disposition": DISPOSITION,
        }
        for field, value in expected.items():
            check(block.get(field) == value, f"{movie.name}: {field} is {block.get(field)!r}, not {value!r}")
    return len(movies), len(planned_pages)


def digests(folder, names):
    return {name: hashlib.sha256((folder / os.fsdecode(name)).read_bytes()).hexdigest() for name in names}


def check_hostile(program, root, layout, movie_folder, check):
    """Every data= leads to the copy of the right movie, each movie is published
    once, no attribute is injected, and no source file changes."""
    html_dir, source = root / "html", root / HOSTILE_SOURCE
    for folder in (html_dir, source, root / movie_folder):
        folder.mkdir(exist_ok=True)
    link_texts = {}
    for number, (name, link_text) in enumerate(HOSTILE_NAMES):
        (source / os.fsdecode(name)).write_bytes(f"movie {number} ".encode() * (number + 1))
        link_texts[name] = link_text
    before = digests(source, link_texts)
    by_content = {digest: name for name, digest in before.items()}

    ini = root / "settings" / "kpx_app.ini"
    ini.parent.mkdir()
    ini.write_bytes(f"[Dirs]\r\norg_mov_dir=../{HOSTILE_SOURCE}/\r\nhtml_dir=../html/\r\n"
                    f"ezmovie_dir=../{movie_folder}\r\n".encode("cp932"))
    elsewhere = root / "elsewhere"
    elsewhere.mkdir()
    arguments = ["--ini", str(ini), "--per-page", str(PER_PAGE), "--date", DATE, "--policy", "overwrite", "--quiet"]
    plan = run(program, *arguments, "--dry-run", cwd=elsewhere)
    run(program, *arguments, cwd=elsewhere)

    pages = page_names(len(HOSTILE_NAMES))
    check([pathlib.Path(p).name for p in planned_names(plan, "ページ")] == pages, f"{layout}: pages differ")
    published, targets = [], []
    for block in read_blocks(check, html_dir, pages, PER_PAGE, len(HOSTILE_NAMES)):
        check(block["attributes"] == ["copyright", "data", "standby", "type"],
              f"{layout}: {block['data']!r} has the attributes {block['attributes']}")
        link = urllib.parse.unquote(block["data"], encoding="cp932", errors="strict")
        copy = html_dir / link
        targets.append(os.path.normpath(copy))
        if not copy.is_file():
            check(False, f"{layout}: data={block['data']!r} leads nowhere")
            continue
        name = by_content.get(hashlib.sha256(copy.read_bytes()).hexdigest())
        check(name is not None, f"{layout}: data={block['data']!r} leads to no movie's bytes")
        if name is None:
            continue
        published.append(name)
        size = len((source / os.fsdecode(name)).read_bytes())
        expected_standby = html.unescape(f"{link_texts[name]} ({size:,}byte)")
        check(block["standby"] == expected_standby, f"{layout}: {name!r} reads {block['standby']!r}")
        check(block.get("title") == html.unescape(link_texts[name]), f"{layout}: {name!r} is saved as {block.get('title')!r}")
    check(sorted(published) == sorted(link_texts), f"{layout}: published {sorted(published)}")
    check(digests(source, link_texts) == before, f"{layout}: a source movie changed")
    check(planned_names(plan, "動画") == targets, f"{layout}: the plan's movies differ from the page links")


def main():
    program = sys.argv[1]
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    with tempfile.TemporaryDirectory() as temp:
        movies, pages = check_generated(program, pathlib.Path(temp), check)
    for layout, movie_folder in HOSTILE_LAYOUTS.items():
        with tempfile.TemporaryDirectory() as temp:
            check_hostile(program, pathlib.Path(temp), layout, movie_folder, check)

    for failure in failures[:40]:
        print(failure)
    if failures:
        print(f"{len(failures)} mismatches")
        return 1
    print(f"{movies} movies on {pages} pages and {len(HOSTILE_NAMES)} hostile names in "
          f"{len(HOSTILE_LAYOUTS)} layouts read back")
    return 0


if __name__ == "__main__":
    sys.exit(main())
