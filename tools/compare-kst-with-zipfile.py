#!/usr/bin/env python3
"""Compares kst with Python's zipfile over ZIP-format files: kst test passes
exactly when zipfile reads every entry, kst list --tsv --dirs shows the same
entries with the same sizes and CRCs, and kst extract writes the same
contents. Files zipfile cannot open are left out; copies are counted once.

Usage: compare-kst-with-zipfile.py KST LISTFILE   (LISTFILE: one path a line), e.g.
  find / -xdev -type f \( -name '*.whl' -o -name '*.egg' -o -name '*.jar' \
       -o -name '*.od[tspg]' -o -name '*.zip' -o -name '*.epub' \) > list.txt
Prints the counts of files agreeing on each point and the first few that do not."""
import hashlib, os, shutil, subprocess, sys, tempfile, zipfile

kst, listfile = sys.argv[1], sys.argv[2]
paths = [l.strip() for l in open(listfile) if l.strip()]
seen = set(); files = []
for p in paths:
    try: h = hashlib.sha256(open(p, 'rb').read()).hexdigest()
    except OSError: continue
    if h in seen: continue
    seen.add(h); files.append(p)

def pyname(info):
    n = info.filename
    if not (info.flag_bits & 0x800):
        try: n2 = n.encode('cp437').decode('utf-8')
        except Exception: n2 = n
        return {n, n2}
    return {n}

counts = dict(readable=0, test=0, list=0, extract=0, all=0)
bad = {'test': [], 'list': [], 'extract': []}
for p in files:
    try:
        z = zipfile.ZipFile(p)
        infos = z.infolist()
    except Exception:
        continue
    counts['readable'] += 1
    data = {}; ok = True
    for i in infos:
        try: data[i.filename] = z.read(i)
        except Exception: ok = False
    r = subprocess.run([kst, 'test', p], capture_output=True)
    t_ok = (r.returncode == 0) == ok
    # listing
    r = subprocess.run([kst, 'list', '--tsv', '--dirs', p], capture_output=True)
    rows = []
    for line in r.stdout.decode('utf-8', 'replace').splitlines():
        f = line.split('\t')
        if len(f) >= 6: rows.append((f[0].replace('\\', '/'), int(f[4]), f[5]))
    l_ok = len(rows) == len(infos)
    if l_ok:
        for (n, size, crc), i in zip(rows, infos):
            want = {x.rstrip('/') for x in pyname(i)}
            if n.rstrip('/') not in want or size != i.file_size or crc != '%08x' % i.CRC:
                l_ok = False; break
    # extraction
    d = tempfile.mkdtemp()
    subprocess.run([kst, 'extract', p, '-d', d, '-o'], capture_output=True)
    e_ok = True
    for i in infos:
        if i.filename not in data: continue
        if i.is_dir():
            if not any(os.path.isdir(os.path.join(d, x.rstrip('/'))) for x in pyname(i)): e_ok = False
            continue
        got = None
        for x in pyname(i):
            q = os.path.join(d, x)
            if os.path.isfile(q): got = open(q, 'rb').read()
        if got != data[i.filename]: e_ok = False; break
    shutil.rmtree(d, ignore_errors=True)
    counts['test'] += t_ok; counts['list'] += l_ok; counts['extract'] += e_ok
    counts['all'] += t_ok and l_ok and e_ok
    for k, v in (('test', t_ok), ('list', l_ok), ('extract', e_ok)):
        if not v: bad[k].append(p)
print(counts)
for k in bad:
    print(k, len(bad[k]))
    for p in bad[k][:8]: print('  ', p)
