#!/usr/bin/env python3
# scripts/windows/notices.py against small made-up Windows zips and folders.
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

SCRIPT = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'windows', 'notices.py')
COMPLETE = ['quillon.exe', 'Qt6Core.dll', 'Qt6Charts.dll', 'sqldrivers/qsqlite.dll', 'libpq.dll',
            'libssl-3-x64.dll', 'libcrypto-3-x64.dll', 'libmdb-3.dll', 'LICENSE.txt',
            *(f'licenses/{p}/a.txt' for p in ['qt', 'qt-charts', 'sqlite', 'libpq', 'openssl', 'libmdb',
                                              'win-iconv'])]


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
        # What is left out or empty, and a DLL the check must then name.
        for without, empty, named in [
            ('licenses/libpq/', (), 'libpq.dll'),
            ('licenses/openssl/', (), 'libssl-3-x64.dll'),
            ('licenses/openssl/', (), 'libcrypto-3-x64.dll'),
            ('licenses/qt-charts/', (), 'Qt6Charts.dll'),
            (None, {'licenses/win-iconv/a.txt'}, 'libmdb-3.dll'),
            ('LICENSE.txt', (), 'quillon.exe'),
        ]:
            files = [f for f in COMPLETE if without is None or not f.startswith(without)]
            self.assertFailsNaming(self.check(files, empty), named)
        self.assertFailsNaming(self.check(COMPLETE + ['libfoo.dll']), 'libfoo.dll')

    def test_gather_writes_debian_notice_with_full_texts(self):
        # A shipped DLL, its part, and a licence its Debian copyright file only points to.
        # Qt's names LGPL-3 only with a full stop after it; OpenSSL's in quotes.
        for dll, part, text in [('Qt6Core.dll', 'qt', 'LGPL-3.txt'),
                                ('libcrypto-3-x64.dll', 'openssl', 'Apache-2.0.txt')]:
            with tempfile.TemporaryDirectory() as stage:
                open(os.path.join(stage, dll), 'w').close()
                result = self.run_script('gather', stage)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(os.listdir(os.path.join(stage, 'licenses')), [part])
                folder = os.path.join(stage, 'licenses', part)
                self.assertIn(text, os.listdir(folder))
                with open(os.path.join(folder, 'copyright.txt'), 'rb') as f:
                    self.assertNotIn(b'\n', f.read().replace(b'\r\n', b''))

if __name__ == '__main__':
    unittest.main()
