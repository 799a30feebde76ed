#!/usr/bin/env python3
"""Writes the archives of the kst command table into OUTDIR, made by the tools
users have: Info-ZIP zip on this system (raw UTF-8 names, "made by" Unix, an
empty folder) and Python's zipfile (Deflate, a stored entry with one damaged
byte, a BZip2 entry, streamed entries with data descriptors (one with "[" in
its name), an ASCII header
name with an Info-ZIP Unicode Path field), plus a truncated copy. Every date
is fixed so listings are the same on every run."""
import io, os, shutil, struct, subprocess, sys, tempfile, time, zipfile, zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
STAMP = (2021, 6, 5, 4, 3, 2)

# zip: a tree with a non-ASCII name, a folder with a space, an empty folder.
tree = tempfile.mkdtemp()
files = {'src/\u00c6r\u00f8 \u65e5\u672c.txt': b'unicode\n', 'src/dir one/a file.txt': b'spaced\n',
         'src/stored.txt': b'stored\n'}
for name, data in files.items():
    path = os.path.join(tree, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
os.makedirs(os.path.join(tree, 'src', 'empty'))
when = time.mktime(STAMP + (0, 0, -1))
for root, dirs, names in os.walk(tree):
    for n in dirs + names:
        os.utime(os.path.join(root, n), (when, when))
target = os.path.abspath(os.path.join(out, 'unix.zip'))
if os.path.exists(target):
    os.remove(target)
subprocess.run(['zip', '-q', '-0', '-X', '-r', target, 'src'], cwd=tree, check=True)
shutil.rmtree(tree)

# Python's zipfile.
def info(name, method):
    i = zipfile.ZipInfo(name, STAMP)
    i.compress_type = method
    return i

def unicode_path(raw, utf8):
    return struct.pack('<HHBI', 0x7075, 5 + len(utf8), 1, zlib.crc32(raw)) + utf8

buf = io.BytesIO()
with zipfile.ZipFile(buf, 'w') as z:
    z.writestr(info('good.txt', zipfile.ZIP_DEFLATED), b'good data\n' * 40)
    z.writestr(info('bad.txt', zipfile.ZIP_STORED), b'damaged data\n')
    z.writestr(info('b2.txt', zipfile.ZIP_BZIP2), b'bzip2 data\n' * 20)
    u = info('upath.txt', zipfile.ZIP_STORED)
    u.extra = unicode_path(b'upath.txt', '\u00c6r\u00f8.txt'.encode())
    z.writestr(u, b'unicode path\n')
    z.writestr(info('empty/', zipfile.ZIP_STORED), b'')
data = bytearray(buf.getvalue())
damaged = data.find(b'damaged data')
data[damaged] ^= 0x01
with open(os.path.join(out, 'py.zip'), 'wb') as f:
    f.write(data)
with open(os.path.join(out, 'truncated.zip'), 'wb') as f:
    f.write(data[:damaged + 4])

class Pipe(io.RawIOBase):
    """An output without seek or tell: zipfile then writes data descriptors."""
    def __init__(self):
        self.data = bytearray()
    def writable(self):
        return True
    def write(self, b):
        self.data += b
        return len(b)

pipe = Pipe()
with zipfile.ZipFile(pipe, 'w') as z:
    z.writestr(info('streamed.txt', zipfile.ZIP_DEFLATED), b'streamed data\n' * 30)
    z.writestr(info('x[1].txt', zipfile.ZIP_STORED), b'bracket\n')
with open(os.path.join(out, 'streamed.zip'), 'wb') as f:
    f.write(pipe.data)

# Names as Unix writers make them: "\\" is an ordinary character there.
with zipfile.ZipFile(os.path.join(out, 'names.zip'), 'w') as z:
    for name, data in (('x\\y.txt', b'backslash\n'), ('RuntimeConfig.class', b'upper\n'),
                       ('Runtimeconfig.class', b'lower\n')):
        i = info(name, zipfile.ZIP_STORED)
        i.create_system = 3
        z.writestr(i, data)

# Streamed Zip64 entries, the central directory cut off: only a walk over the
# local headers finds them.
pipe = Pipe()
with zipfile.ZipFile(pipe, 'w') as z:
    for name, method in (('big.txt', zipfile.ZIP_DEFLATED), ('raw.txt', zipfile.ZIP_STORED)):
        with z.open(info(name, method), 'w', force_zip64=True) as f:
            f.write(name.encode() + b' zip64 data\n' * 20)
with open(os.path.join(out, 'zip64.zip'), 'wb') as f:
    f.write(pipe.data[:pipe.data.find(b'PK\x01\x02')])
