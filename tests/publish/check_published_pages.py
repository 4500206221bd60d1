#!/usr/bin/env python3
"""Publishes with kpx_publish and reads the pages back with tools of other
origin: iconv decodes each page from CP932 and Python's html.parser reads every
movie block and footer link; each link is followed as a browser follows it.
Three sets: a few hundred generated movies, checked name by name; a table of
hostile names (spaces, quotes, markup, percent signs, colons, backslashes,
character references, control bytes, CP932 bytes, collisions, long names),
checked for what must hold whatever the names, and published three times over;
and hostile page names, whose footers must still reach every page.

Usage: check_published_pages.py PATH_TO_KPX_PUBLISH
"""

import hashlib
import html
import html.parser
import os
import pathlib
import re
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


# File name (bytes, as the folder holds it) -> the link text a parser must read:
# the name as it is, control bytes shown as blanks.
HOSTILE_NAMES = [
    (b"my clip.amc", "my clip"),
    (b"a&b<c>.amc", "a&b<c>"),
    (b"a&copy.amc", "a&copy"),
    (b"Song&copy 2024.amc", "Song&copy 2024"),
    (b"a&amp;b&lt;c&#233;.amc", "a&amp;b&lt;c&#233;"),  # references in a name are its text
    (b"per%41cent.amc", "per%41cent"),
    (b'x" onmouseover="y.amc', 'x" onmouseover="y'),
    (b"it's#1?=`.amc", "it's#1?=`"),
    (b"https:evil.example.com\\x.amc", "https:evil.example.com\\x"),  # a scheme and a host
    (b"javascript:alert(1).amc", "javascript:alert(1)"),
    (b"clip:10.amc", "clip:10"),
    (b"back\\slash.amc", "back\\slash"),
    (b"tab\there.amc", "tab here"),
    (b"line\nfeed\x7f.amc", "line feed "),
    ("映画".encode("cp932") + b".amc", "映画"),  # unpacked from a Windows archive
    ("映画".encode() + b".amc", "映画"),
    ("表\\".encode() + b".amc", "表\\"),  # 表 ends in the byte of a backslash in CP932
    (f"{PATTERN_PREFIX}01.amc".encode(), f"{PATTERN_PREFIX}01"),  # the first pattern name
    (b"MOVIE.AMC", "MOVIE"),
    (b"movie.amc", "movie"),
    (b"L" * 236 + b".amc", "L" * 236),
    ("ｶﾀｶﾅ".encode() + b".amc", "カタカナ"),
    ("café".encode() + b".amc", "café"),  # é is not in code page 932
    (b"\xff\xfe.amc", "〓〓"),  # neither UTF-8 nor CP932
]

# --name values whose pages must still link each other.
HOSTILE_PAGE_NAMES = ["a#b.html", "100%.html", "a?b.html", 'q"x.html', "t\tb.html", "l\nf.html", "c:d.html",
                      "e\\f.html", "s p&.html"]

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
        self.links = []  # the footer's, as (attribute names, href)

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if tag == "object":
            self.blocks.append({"data": attributes.get("data"), "standby": attributes.get("standby"),
                                "attributes": sorted(attributes)})
        elif tag == "param" and self.blocks:
            self.blocks[-1][attributes.get("name")] = attributes.get("value")
        elif tag == "a":
            self.links.append((sorted(attributes), attributes.get("href")))

    handle_startendtag = handle_starttag


def follow_link(page_url_path, reference):
    """The file a browser asks a server for when it follows `reference` on the
    page at `page_url_path` (a list of path segments of an http: URL), by the
    WHATWG URL rules, and the server decodes: the path's segments as bytes, or
    None when the link leaves the server (a scheme of its own, another host)."""
    reference = reference.strip("".join(map(chr, range(0x21))))
    reference = re.sub("[\t\n\r]", "", reference)  # never part of a URL
    if re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", reference):
        return None
    reference = reference.replace("\\", "/")  # in a special scheme a backslash is a slash
    if reference.startswith("//"):
        return None
    path = re.split("[?#]", reference, maxsplit=1)[0]
    if path == "":
        return page_url_path
    segments = [] if path.startswith("/") else page_url_path[:-1]
    parts = path.lstrip("/").split("/") if path.startswith("/") else path.split("/")
    for number, part in enumerate(parts):
        last = number == len(parts) - 1
        if part.lower() in ("..", ".%2e", "%2e.", "%2e%2e"):
            segments = segments[:-1] + ([""] if last else [])
        elif part.lower() in (".", "%2e"):
            segments = segments + ([""] if last else [])
        else:
            segments = segments + [part]
    # The browser sends other characters as UTF-8 and keeps %XX; the server decodes both.
    return [urllib.parse.unquote_to_bytes(segment) for segment in segments]


def served_file(root, page, reference):
    """The file under `root` (the server's root) that a link on `page` leads to, or None."""
    page_url_path = [os.fsencode(part) for part in page.relative_to(root).parts]
    path = follow_link([urllib.parse.quote_from_bytes(part) for part in page_url_path], reference)
    if path is None or any(segment == b".." or b"/" in segment for segment in path):
        return None
    return pathlib.Path(os.fsdecode(os.path.join(os.fsencode(root), *path)))


def run(program, *arguments, cwd=None):
    return subprocess.run([program, *arguments], check=True, capture_output=True, text=True, cwd=cwd).stdout


def decode_cp932(path):
    result = subprocess.run(["iconv", "-f", "CP932", "-t", "UTF-8", str(path)], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"{path.name} is not CP932: {result.stderr.decode(errors='replace')}")
    return result.stdout.decode("utf-8")


def read_page(path):
    reader = MovieBlockReader()
    reader.feed(decode_cp932(path))
    reader.close()
    return reader


def read_blocks(check, html_dir, pages, per_page, movie_count):
    blocks = []
    for page_number, page in enumerate(pages):
        reader = read_page(html_dir / page)
        check(len(reader.blocks) == min(per_page, movie_count - page_number * per_page),
              f"{page} holds {len(reader.blocks)} movies")
        blocks += [dict(block, page=page) for block in reader.blocks]
    check(len(blocks) == movie_count, f"{len(blocks)} movie blocks for {movie_count} movies")
    return blocks


def unescape_listed(path):
    escapes = {"\\\\": "\\", "\\t": "\t", "\\n": "\n"}
    return re.sub(r"\\(\\|t|n|x[0-9a-f]{2})",
                  lambda m: escapes.get(m.group(0)) or chr(int(m.group(1)[1:], 16)), path)


def planned_names(check, plan_output, kind):
    """The destinations of one kind; every step is one line of three columns."""
    steps = [line.split("\t") for line in plan_output.split("\n")[:-1]]
    split = [step for step in steps if len(step) != 3]
    check(not split, f"plan lines of other than three columns: {split}")
    return [unescape_listed(step[2]) for step in steps if len(step) == 3 and step[1] == kind]


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
    planned_pages = [pathlib.Path(p).name for p in planned_names(check, plan, "ページ")]
    check([pathlib.Path(p).name for p in planned_names(check, plan, "動画")] == [copy_names[m.name] for m in movies],
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


def folder_state(*folders):
    return {str(path): hashlib.sha256(path.read_bytes()).hexdigest()
            for folder in folders for path in sorted(folder.iterdir())}


def check_hostile(program, root, layout, movie_folder, check):
    """Every data= leads, as a browser follows it, to the copy of the right
    movie in the movie folder; each movie is published once, no attribute is
    injected, no source file changes, and two more runs change nothing."""
    html_dir, source, movies = root / "html", root / HOSTILE_SOURCE, root / movie_folder
    for folder in (html_dir, source, movies):
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
                    f"ezmovie_dir=../{movie_folder}/\r\n".encode("cp932"))
    elsewhere = root / "elsewhere"
    elsewhere.mkdir()
    arguments = ["--ini", str(ini), "--per-page", str(PER_PAGE), "--date", DATE, "--policy", "overwrite", "--quiet"]
    plan = run(program, *arguments, "--dry-run", cwd=elsewhere)
    run(program, *arguments, cwd=elsewhere)
    published_state = folder_state(html_dir, movies)
    # Pattern names follow the date: only movies beside their sources keep theirs on another day.
    later_days = ("2026-12-09", "2027-01-31") if movies == source else (DATE, DATE)
    for later_day in later_days:
        run(program, *arguments, "--date", later_day, cwd=elsewhere)
        check(folder_state(html_dir, movies) == published_state, f"{layout}: a run on {later_day} changed the folders")

    pages = page_names(len(HOSTILE_NAMES))
    check([pathlib.Path(p).name for p in planned_names(check, plan, "ページ")] == pages, f"{layout}: pages differ")
    published, targets = [], []
    for block in read_blocks(check, html_dir, pages, PER_PAGE, len(HOSTILE_NAMES)):
        check(block["attributes"] == ["copyright", "data", "standby", "type"],
              f"{layout}: {block['data']!r} has the attributes {block['attributes']}")
        copy = served_file(root, html_dir / block["page"], block["data"])
        if copy is None or copy.parent != movies or not copy.is_file():
            check(False, f"{layout}: data={block['data']!r} leads to {copy}, no file of {movies}")
            continue
        targets.append(str(copy))
        name = by_content.get(hashlib.sha256(copy.read_bytes()).hexdigest())
        check(name is not None, f"{layout}: data={block['data']!r} leads to no movie's bytes")
        if name is None:
            continue
        published.append(name)
        size = len((source / os.fsdecode(name)).read_bytes())
        check(block["standby"] == f"{link_texts[name]} ({size:,}byte)", f"{layout}: {name!r} reads {block['standby']!r}")
        check(block.get("title") == link_texts[name], f"{layout}: {name!r} is saved as {block.get('title')!r}")
    check(sorted(published) == sorted(link_texts), f"{layout}: published {sorted(published)}")
    check(digests(source, link_texts) == before, f"{layout}: a source movie changed")
    check([os.path.normpath(p) for p in planned_names(check, plan, "動画")] == targets,
          f"{layout}: the plan's movies differ from the page links")


def check_page_names(program, root, check):
    """With page names that mean something in a URL, every footer link leads,
    as a browser follows it, to the page before or after, and page 1 reaches
    every page; the dry run lists each page on one line."""
    source, movies = root / "source", root / "movies"
    for folder in (source, movies):
        folder.mkdir()
    movie_count = 3 * PER_PAGE + 1
    for number in range(movie_count):
        (source / f"m{number}.amc").write_bytes(b"m" * (number + 1))
    ini = root / "kpx_app.ini"
    ini.write_bytes(b"")
    page_count = (movie_count + PER_PAGE - 1) // PER_PAGE
    for number, name in enumerate(HOSTILE_PAGE_NAMES):
        html_dir = root / f"html{number}"
        html_dir.mkdir()
        arguments = ["--ini", str(ini), "--source", str(source), "--html-dir", str(html_dir), "--movie-dir",
                     str(movies), "--name", name, "--per-page", str(PER_PAGE), "--policy", "overwrite", "--quiet"]
        plan = run(program, *arguments, "--dry-run")
        run(program, *arguments)
        stem = name[: name.rfind(".")]
        pages = [html_dir / name] + [html_dir / f"{stem}{n:02d}.html" for n in range(2, page_count + 1)]
        check([pathlib.Path(p) for p in planned_names(check, plan, "ページ")] == pages, f"{name!r}: the plan's pages")
        reached, waiting = {pages[0]}, [pages[0]]
        while waiting:
            page = waiting.pop()
            index = pages.index(page)
            neighbours = [pages[i] for i in (index - 1, index + 1) if 0 <= i < len(pages)]
            links = read_page(page).links
            check(all(attributes == ["accesskey", "href"] for attributes, _ in links),
                  f"{name!r}: {page.name!r} has links with the attributes {[a for a, _ in links]}")
            followed = [served_file(root, page, href) for _, href in links]
            check(followed == neighbours, f"{name!r}: {page.name!r} links {[h for _, h in links]}, leading to {followed}")
            for target in followed:
                if target in pages and target not in reached:
                    reached.add(target)
                    waiting.append(target)
        check(reached == set(pages), f"{name!r}: page 1 reaches {len(reached)} of {len(pages)} pages")
    return len(HOSTILE_PAGE_NAMES)


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
    with tempfile.TemporaryDirectory() as temp:
        page_name_sets = check_page_names(program, pathlib.Path(temp), check)

    for failure in failures[:60]:
        print(failure)
    if failures:
        print(f"{len(failures)} mismatches")
        return 1
    print(f"{movies} movies on {pages} pages, {len(HOSTILE_NAMES)} hostile names in {len(HOSTILE_LAYOUTS)} layouts "
          f"(three runs each) and {page_name_sets} hostile page names read back and followed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
