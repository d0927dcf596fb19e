#!/usr/bin/env python3
# The licence notices of what the Windows zip and installer ship.
#   notices.py gather STAGE      put each shipped part's notice in STAGE/licenses/<part>/
#   notices.py check ZIP|FOLDER  fail, naming the file, when a shipped DLL or program has no notice
# A part's notice is its Debian copyright file (the Windows builds come from the same sources) with
# the full text of every licence that file only points to in /usr/share/common-licenses, since
# Windows has no such folder. libmdb's and win-iconv's notices come from build-libmdb.sh.
import fnmatch
import os
import re
import sys
import zipfile

# part: (shipped files it is in, as globs on the path in the folder; Debian package with its notice)
PARTS = {
    'quillon': (['quillon.exe', 'quillon-createdb.exe'], None),
    'qt': (['qt6*.dll', 'platforms/*.dll', 'styles/*.dll', 'imageformats/*.dll', 'sqldrivers/*.dll'],
           'libqt6core6'),
    'qt-charts': (['qt6charts*.dll'], 'libqt6charts6'),
    'qt-translations': (['translations/*.qm'], 'qt6-translations-l10n'),
    # Compiled into the programs and into Qt's SQLite driver.
    'sqlite': (['quillon.exe', 'quillon-createdb.exe', 'sqldrivers/qsqlite.dll'], 'libsqlite3-0'),
    'libpq': (['libpq.dll'], 'libpq5'),
    'openssl': (['libssl-3*.dll', 'libcrypto-3*.dll'], 'libssl3'),
    'libmdb': (['libmdb-3.dll'], None),
    'win-iconv': (['libmdb-3.dll'], None),
    'gcc-runtime': (['libstdc++-6.dll', 'libgcc_s_seh-1.dll'], 'gcc-mingw-w64-x86-64-posix-runtime'),
    'mingw-w64': (['libwinpthread-1.dll'], 'mingw-w64-x86-64-dev'),
    'zlib': (['zlib1.dll'], 'libz-mingw-w64'),
}
# Where each part's notice is; Quillon's own licence lies at the top, beside the programs.
NOTICE = {part: f'licenses/{part}' for part in PARTS} | {'quillon': 'LICENSE.txt'}
COMMON = '/usr/share/common-licenses'


def shipped(name):
    return name.lower().endswith(('.dll', '.exe', '.qm'))


def parts_of(name):
    return [part for part, (globs, _) in PARTS.items()
            if any(fnmatch.fnmatch(name.lower(), g) for g in globs)]


def listing(path):
    """{path in the shipped folder: size}, for a zip (without its top folder) or a folder."""
    if zipfile.is_zipfile(path):
        with zipfile.ZipFile(path) as z:
            files = {i.filename: i.file_size for i in z.infolist() if not i.is_dir()}
        tops = {n.split('/', 1)[0] for n in files}
        if len(tops) == 1 and all('/' in n for n in files):
            files = {n.split('/', 1)[1]: s for n, s in files.items()}
        return files
    paths = [os.path.join(d, f) for d, _, names in os.walk(path) for f in names]
    return {os.path.relpath(p, path).replace(os.sep, '/'): os.path.getsize(p) for p in paths}


def check(path):
    files = listing(path)
    faults = []
    needed = set()
    for name in sorted(n for n in files if shipped(n)):
        parts = parts_of(name)
        if not parts:
            faults.append(f'{name}: no notice is known for it (scripts/windows/notices.py)')
        for part in parts:
            notice = NOTICE[part]
            needed.add(part)
            # An empty file is no notice.
            if not any(size > 0 and (n == notice or n.startswith(notice + '/')) for n, size in files.items()):
                faults.append(f'{name}: shipped without its notice {notice}')
    for fault in faults:
        print(f'notices: {fault}', file=sys.stderr)
    if not faults:
        print(f'notices: every shipped DLL and program has its notice ({", ".join(sorted(needed))})')
    return 1 if faults else 0


def crlf(text):
    return text.replace('\r\n', '\n').replace('\n', '\r\n')


def gather(stage):
    parts = {p for name in listing(stage) if shipped(name) for p in parts_of(name)}
    for part in sorted(parts):
        package = PARTS[part][1]
        if package is None:
            continue
        source = f'/usr/share/doc/{package}/copyright'
        if not os.path.exists(source):
            sys.exit(f'notices: {source} is missing: install {package} (scripts/windows/install-deps.sh)')
        with open(source, encoding='utf-8') as f:
            text = f.read()
        folder = os.path.join(stage, NOTICE[part])
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, 'copyright.txt'), 'w', encoding='utf-8', newline='') as f:
            f.write(crlf(text))
        # "/usr/share/common-licenses/GPL-3." ends a sentence: the dot is no part of the name.
        # "GPL" is a link to "GPL-3": each text once, under its versioned name.
        names = {os.path.basename(os.path.realpath(os.path.join(COMMON, n)))
                 for n in re.findall(re.escape(COMMON) + r'/([\w.+-]*[\w+])', text)}
        for name in sorted(n for n in names if os.path.isfile(os.path.join(COMMON, n))):
            with open(os.path.join(COMMON, name), encoding='utf-8') as f:
                licence = f.read()
            with open(os.path.join(folder, name + '.txt'), 'w', encoding='utf-8', newline='') as f:
                f.write(crlf(licence))


if __name__ == '__main__':
    if len(sys.argv) != 3 or sys.argv[1] not in ('gather', 'check'):
        sys.exit('usage: notices.py gather STAGE | notices.py check ZIP|FOLDER')
    if sys.argv[1] == 'gather':
        gather(sys.argv[2])
    else:
        sys.exit(check(sys.argv[2]))
