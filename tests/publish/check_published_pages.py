#!/usr/bin/env python3
"""Publishes a few hundred generated movies with kpx_publish and reads the
pages back with tools of other origin: iconv decodes each page from CP932 and
Python's html.parser reads every movie block.

Usage: check_published_pages.py PATH_TO_KPX_PUBLISH
"""

import html.parser
import pathlib
import subprocess
import sys
import tempfile
import unicodedata

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


class MovieBlockReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks = []

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if tag == "object":
            self.blocks.append({"data": attributes.get("data"), "standby": attributes.get("standby")})
        elif tag == "param" and self.blocks:
            self.blocks[-1][attributes.get("name")] = attributes.get("value")

    handle_startendtag = handle_starttag


def run(program, *arguments):
    return subprocess.run([program, *arguments], check=True, capture_output=True, text=True).stdout


def decode_cp932(path):
    result = subprocess.run(["iconv", "-f", "CP932", "-t", "UTF-8", str(path)], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"{path.name} is not CP932: {result.stderr.decode(errors='replace')}")
    return result.stdout.decode("utf-8")


def main():
    program = sys.argv[1]
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    with tempfile.TemporaryDirectory() as temp:
        root = pathlib.Path(temp)
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
        plan = [line.split("\t") for line in run(program, *arguments, "--dry-run").splitlines()]
        check(not any(html_dir.iterdir()) and not any(movie_dir.iterdir()), "the dry run wrote files")
        planned_movies = [pathlib.Path(p[2]).name for p in plan if p[1] == "動画"]
        planned_pages = [pathlib.Path(p[2]).name for p in plan if p[1] == "ページ"]
        check(planned_movies == [copy_names[m.name] for m in movies], "the plan's copy names or order differ")
        page_count = (len(movies) + PER_PAGE - 1) // PER_PAGE
        check(planned_pages == ["ezmovie.html"] + [f"ezmovie{n:02d}.html" for n in range(2, page_count + 1)],
              "the plan's page names differ")

        run(program, *arguments)
        check(sorted(p.name for p in html_dir.iterdir()) == sorted(planned_pages), "pages differ from the plan")
        for movie in movies:
            copy = movie_dir / copy_names[movie.name]
            check(copy.is_file() and copy.stat().st_size == movie.size, f"copy of {movie.name} is wrong")

        read_back = []
        for page_number, page in enumerate(planned_pages):
            reader = MovieBlockReader()
            reader.feed(decode_cp932(html_dir / page))
            reader.close()
            check(len(reader.blocks) == min(PER_PAGE, len(movies) - page_number * PER_PAGE),
                  f"{page} holds {len(reader.blocks)} movies")
            read_back += reader.blocks

        check(len(read_back) == len(movies), f"{len(read_back)} movie blocks for {len(movies)} movies")
        for movie, block in zip(movies, read_back):
            expected = {
                "data": LINK_PATH + copy_names[movie.name],
                "standby": f"{movie.link_name()} ({movie.size:,}byte)",
                "title": movie.link_name(),
                "size": str(movie.size),
                "disposition": DISPOSITION,
            }
            for field, value in expected.items():
                check(block.get(field) == value, f"{movie.name}: {field} is {block.get(field)!r}, not {value!r}")

    for failure in failures[:40]:
        print(failure)
    if failures:
        print(f"{len(failures)} mismatches")
        return 1
    print(f"{len(movies)} movies on {len(planned_pages)} pages read back")
    return 0


if __name__ == "__main__":
    sys.exit(main())
