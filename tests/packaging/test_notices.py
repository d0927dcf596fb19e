#!/usr/bin/env python3
# scripts/windows/notices.py against small made-up Windows zips and folders.
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

SCRIPT = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'windows', 'notices.py')
COMPLETE = ['quillon.exe', 'Qt6Core.dll', 'sqldrivers/qsqlite.dll', 'libpq.dll', 'libmdb-3.dll',
            'LICENSE.txt', *(f'licenses/{p}/a.txt' for p in ['qt', 'sqlite', 'libpq', 'libmdb', 'win-iconv'])]


class TestNotices(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.tmp = tmp.name

    def run_script(self, *args):
        return subprocess.run([sys.executable, SCRIPT, *args], capture_output=True, text=True)

    def check(self, files, empty=()):
        path = os.path.join(self.tmp, 'quillon.zip')
        with zipfile.ZipFile(path, 'w') as z:
            for name in files:
                z.writestr('quillon/' + name, '' if name in empty else 'x')
        return self.run_script('check', path)

    def assertFailsNaming(self, result, name):
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn(name + ':', result.stderr)

    def test_each_dll_needs_each_of_its_notices(self):
        self.assertEqual(self.check(COMPLETE).returncode, 0)
        self.assertFailsNaming(self.check([f for f in COMPLETE if 'libpq/' not in f]), 'libpq.dll')
        self.assertFailsNaming(self.check(COMPLETE, empty={'licenses/win-iconv/a.txt'}), 'libmdb-3.dll')
        self.assertFailsNaming(self.check([f for f in COMPLETE if f != 'LICENSE.txt']), 'quillon.exe')
        self.assertFailsNaming(self.check(COMPLETE + ['libfoo.dll']), 'libfoo.dll')
        # OpenSSL and Qt Charts are not shipped yet; once they are, their notices must be too.
        for dll, notice in [('Qt6Charts.dll', 'qt-charts'), ('libcrypto-3-x64.dll', 'openssl')]:
            self.assertFailsNaming(self.check(COMPLETE + [dll]), dll)
            self.assertEqual(self.check(COMPLETE + [dll, f'licenses/{notice}/a.txt']).returncode, 0)

    def test_gather_writes_debian_notice_with_full_texts(self):
        open(os.path.join(self.tmp, 'Qt6Core.dll'), 'w').close()
        result = self.run_script('gather', self.tmp)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(os.listdir(os.path.join(self.tmp, 'licenses')), ['qt'])
        qt = os.path.join(self.tmp, 'licenses', 'qt')
        # Qt's copyright file names LGPL-3 only with a full stop after it.
        self.assertIn('LGPL-3.txt', os.listdir(qt))
        with open(os.path.join(qt, 'copyright.txt'), 'rb') as f:
            self.assertNotIn(b'\n', f.read().replace(b'\r\n', b''))


if __name__ == '__main__':
    unittest.main()
