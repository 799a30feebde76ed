#!/usr/bin/env python3
"""Compares kst with Python's zipfile over ZIP-format files: kst test passes
exactly when zipfile reads every entry, kst list --tsv --dirs shows the same
entries with the same sizes and CRCs, and kst extract writes the same
contents. Files zipfile cannot open are left out; copies are counted once.

Usage: compare-kst-with-zipfile.py KST LISTFILE [BUDGET]   (LISTFILE: one path a
line; BUDGET: seconds after which no further file is started, default none), e.g.
  find / -xdev \( -path /work -o -path /tmp -o -path /proc \) -prune -o -type f \
       \( -name '*.whl' -o -name '*.egg' -o -name '*.jar' -o -name '*.od[tspg]' \
       -o -name '*.zip' -o -name '*.epub' \) -print > list.txt
Each kst command gets at most 300 s (one that runs longer counts as differing).
Prints one line per file that differs as it goes, then the counts of files
agreeing on each point, the files left out for the budget, and every file that
does not agree."""
import hashlib, os, shutil, subprocess, sys, tempfile, time, zipfile

kst, listfile = sys.argv[1], sys.argv[2]
budget = float(sys.argv[3]) if len(sys.argv) > 3 else None
started = time.monotonic()
kCommandSeconds = 300

def run(args):
    try: return subprocess.run(args, capture_output=True, timeout=kCommandSeconds)
    except subprocess.TimeoutExpired: return None
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
skipped = 0
for p in files:
    if budget is not None and time.monotonic() - started > budget:
        skipped += 1; continue
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
    r = run([kst, 'test', p])
    t_ok = r is not None and (r.returncode == 0) == ok
    # listing
    r = run([kst, 'list', '--tsv', '--dirs', p])
    rows = []
    for line in (r.stdout if r else b'').decode('utf-8', 'replace').splitlines():
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
    e_ok = run([kst, 'extract', p, '-d', d, '-o']) is not None
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
    if not (t_ok and l_ok and e_ok):
        print('differs (%s):' % ' '.join(k for k, v in (('test', t_ok), ('list', l_ok), ('extract', e_ok)) if not v),
              p, flush=True)
print(counts)
if skipped: print('not reached within the budget:', skipped)
for k in bad:
    print(k, len(bad[k]))
    for p in bad[k]: print('  ', p)
