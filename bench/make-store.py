#!/usr/bin/env python3
"""make-store.py OUT.plist [ITEMS] [GROUPS] [--xml]: writes a favourites store of ITEMS items
(default 10,000) in GROUPS groups (default 100), each group's items under its bare title, as a
binary property list (or XML) -- the store used to measure launch time and memory."""
import datetime
import plistlib
import sys

args = [a for a in sys.argv[1:] if not a.startswith('--')]
if not args or '--help' in sys.argv:
    sys.exit(__doc__)
out = args[0]
items = int(args[1]) if len(args) > 1 else 10000
groups = int(args[2]) if len(args) > 2 else 100
store = {'first': 1, 'checkUniquiidAdded': True, 'allgroups': []}
date = datetime.datetime(2025, 3, 1, 12, 0, 0)
uid = 0
for g in range(groups):
    title = f'Group {g}'
    store['allgroups'].append({'title': title, 'isHeader': True, 'isExpanded': True, 'color': '47CE64'})
    records = []
    for i in range(items // groups):
        uid += 1
        records.append({'title': f'Document number {i} of group {g}.pdf',
                        'url': f'/home/someone/Documents/Project {g}/document-{i}.pdf',
                        'isnormalFile': True, 'uid': uid, 'date': date})
    store[title] = records
store['uniqueid'] = uid
with open(out, 'wb') as f:
    plistlib.dump(store, f, fmt=plistlib.FMT_XML if '--xml' in sys.argv else plistlib.FMT_BINARY)
