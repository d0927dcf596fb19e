#!/usr/bin/env python3
# Checks the README, docs/ and bench/ against the tree: every relative link leads to a file (and
# heading) that is there; every sh block parses, and the scripts, tools and options it names exist;
# every key of an ini block is one the program reads; any other block is marked text.
# Usage: check_docs.py [SOURCE_DIR]  (default: the checkout this file is in)
import os
import re
import shlex
import subprocess
import sys

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..'))
# The programs a block may run, and the source that holds each one's options.
programs = {'quillon-createdb': 'tools/create_database.cpp', 'quillon-shot': 'tools/window_shot.cpp',
            'quillon': 'app/main.cpp'}
separators = {';', '&&', '||', '|', '&', '(', ')'}
faults = []
counts = {'links': 0, 'blocks': 0, 'options': 0}


def read(path):
    with open(os.path.join(root, path), encoding='utf-8') as f:
        return f.read()


def slug(heading):
    return re.sub(r'[^\w\- ]', '', heading.strip().lower()).replace(' ', '-')


def headings(path):
    return {slug(m.group(1)) for m in re.finditer(r'^#+\s+(.*)$', read(path), re.M)}


def check_link(doc, line, target):
    counts['links'] += 1
    path, _, anchor = target.partition('#')
    full = os.path.normpath(os.path.join(os.path.dirname(doc), path)) if path else doc
    if not os.path.exists(os.path.join(root, full)):
        faults.append(f'{doc}:{line}: link to {target}: no file {full}')
    elif anchor and full.endswith('.md') and anchor not in headings(full):
        faults.append(f'{doc}:{line}: link to {target}: no heading "{anchor}" in {full}')


def tokens(text):
    """The words of the commands in text, a separator between commands; lines are joined only
    where a quote or a backslash carries a command on."""
    out, command = [], ''
    for row in text.split('\n'):
        command += row + '\n'
        try:
            shlex.split(command, comments=True)
        except ValueError:
            continue
        if command.endswith('\\\n'):
            continue
        lexer = shlex.shlex(command, posix=True, punctuation_chars=';&|()')
        lexer.whitespace_split = True
        for t in lexer:
            # sh -c '…': the quoted commands are checked as commands too.
            out += [';'] + tokens(t) + [';'] if out and out[-1] == '-c' else [t]
        out.append(';')
        command = ''
    return out


def check_options(doc, line, words, program, source):
    text = read(source)
    for option in (w.split('=')[0] for w in words if re.match(r'--\w', w)):
        counts['options'] += 1
        # A program's option is a string in its source; a script's, a word of the script.
        written = re.escape(f'"{option}"') if source.endswith('.cpp') else rf'(?<![\w-]){option}(?![\w-])'
        if not re.search(written, text):
            faults.append(f'{doc}:{line}: {program} has no option {option} (not in {source})')


def check_sh(doc, line, block):
    parse = subprocess.run(['bash', '-n'], input=block, capture_output=True, text=True)
    if parse.returncode != 0:
        return faults.append(f'{doc}:{line}: the block does not parse: {parse.stderr.strip()}')
    for m in re.finditer(r'(?<![\w./$~-])((?:scripts|tools|bench)/[\w./-]*\w)', block):
        if not os.path.exists(os.path.join(root, m.group(1))):
            faults.append(f'{doc}:{line}: {m.group(1)} is not in the tree')
    words = tokens(block)
    for i, w in enumerate(words):
        name, rest = os.path.basename(w).removesuffix('.exe'), words[i + 1:]
        rest = rest[:min([k for k, v in enumerate(rest) if v in separators] + [len(rest)])]
        if name in programs and not w.startswith('-'):
            check_options(doc, line, rest, name, programs[name])
        elif re.fullmatch(r'(scripts|bench)/[\w./-]+\.sh', w) and os.path.exists(os.path.join(root, w)):
            check_options(doc, line, rest, w, w)


def check_ini(doc, line, block):
    sources = ''.join(read(os.path.join(d, f)) for d, _, fs in os.walk(os.path.join(root, 'src'))
                      for f in fs if f.endswith('.cpp'))
    section = ''
    for row in block.splitlines():
        row = row.strip()
        if not row or row[0] in ';#':
            continue
        if re.fullmatch(r'\[\w+\]', row):
            section = row[1:-1] + '/'
        elif f'"{section}{row.split("=")[0].strip()}"' not in sources:
            faults.append(f'{doc}:{line}: no quillon.ini key {section}{row.split("=")[0].strip()} is read in src/')


def check_doc(doc):
    fence = None
    for n, text in enumerate(read(doc).split('\n'), 1):
        m = re.match(r'^(\s*)```\s*(\S*)\s*$', text)
        if fence is None and m:
            fence, kind, start, indent, body = text.strip(), m.group(2), n, len(m.group(1)), []
        elif fence is not None and text.strip() == '```':
            counts['blocks'] += 1
            block = '\n'.join(b[indent:] for b in body) + '\n'
            if kind in ('sh', 'bash'):
                check_sh(doc, start, block)
            elif kind == 'ini':
                check_ini(doc, start, block)
            elif kind != 'text':
                faults.append(f'{doc}:{start}: a block of kind "{kind}": mark it sh, ini or text')
            fence = None
        elif fence is not None:
            body.append(text)
        else:
            for link in re.finditer(r'\]\(([^)\s]+)\)', text):
                if not re.match(r'[a-z]+:', link.group(1)):
                    check_link(doc, n, link.group(1))
    if fence is not None:
        faults.append(f'{doc}:{start}: the block is never closed')


docs = ['README.md'] + sorted(os.path.join(d, f) for d in ('docs', 'bench')
                              for f in os.listdir(os.path.join(root, d)) if f.endswith('.md'))
for doc in docs:
    check_doc(doc)
for fault in faults:
    print(fault)
print(f'{len(docs)} documents, {counts["links"]} links, {counts["blocks"]} code blocks, '
      f'{counts["options"]} options: {len(faults)} faults')
sys.exit(1 if faults else 0)
