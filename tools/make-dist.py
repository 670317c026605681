#!/usr/bin/env python3
"""Packs the release archives from the built trees, the same bytes from any
folder on any day:

    tools/make-dist.py NATIVE_TREE WIN32_TREE OUT_DIR

writes OUT_DIR/quarnel-<version>-windows-x86.zip,
OUT_DIR/quarnel-cli-<version>-linux-<arch>.tar.gz and OUT_DIR/SHA256SUMS.
Entries stand in a fixed order, dated SOURCE_DATE_EPOCH (make dist gives the
last commit's time), owned by root with fixed modes. The programs are the
build outputs themselves, which the Wine tests run: stripped, their debug
information left beside them in the trees. Fails when a program is over its
size budget or still holds debug information, or when an archive's program
differs from the build's.
"""
import gzip
import hashlib
import io
import os
import platform
import re
import shutil
import subprocess
import sys
import tarfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIB = 1024 * 1024


def fail(message):
    sys.exit('make-dist: ' + message)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def product_version(tree):
    header = read(os.path.join(tree, 'generated', 'product_version.h')).decode()
    found = re.search(r'^#define QUARNEL_VERSION "([^"]+)"', header, re.M)
    if not found:
        fail(tree + ': no QUARNEL_VERSION in generated/product_version.h')
    return found.group(1)


def check_program(path, budget, objdump):
    """Size within budget, no debug sections, a debug link to its .debug file."""
    size = os.path.getsize(path)
    sections = subprocess.run([objdump, '-h', path], check=True, capture_output=True, text=True).stdout
    if '.debug_info' in sections or '.gnu_debuglink' not in sections:
        fail(path + ' is not stripped with a debug link (built with QUARNEL_SANITIZE?)')
    if size > budget:
        fail('%s is %d bytes, over its budget of %d' % (path, size, budget))
    print('make-dist: %-28s %9d bytes (budget %d)' % (os.path.basename(path), size, budget))
    return read(path)


def text_file(name, substitutions, line_end):
    text = read(os.path.join(ROOT, name)).decode('utf-8')
    for key, value in substitutions.items():
        text = text.replace('@%s@' % key, value)
    return text.replace('\r\n', '\n').replace('\n', line_end).encode('utf-8')


def write_zip(path, folder, entries, epoch):
    # DOS times start in 1980 and carry no zone: the epoch's UTC fields.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path, 'w') as archive:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(folder + '/' + name, date_time=stamp)
            info.create_system = 3  # Unix: the mode bits below are read
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def write_tar_gz(path, folder, entries, epoch):
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode='w', format=tarfile.USTAR_FORMAT) as archive:
        def add(name, data, mode):
            info = tarfile.TarInfo(name)
            info.mtime, info.mode, info.uid, info.gid, info.uname, info.gname = epoch, mode, 0, 0, 'root', 'root'
            if data is None:
                info.type = tarfile.DIRTYPE
                archive.addfile(info)
            else:
                info.size = len(data)
                archive.addfile(info, io.BytesIO(data))
        add(folder, None, 0o755)
        for name, data, mode in entries:
            add(folder + '/' + name, data, mode)
    with open(path, 'wb') as out:
        # No file name and no time in the gzip header.
        with gzip.GzipFile(filename='', mode='wb', fileobj=out, compresslevel=9, mtime=0) as packed:
            packed.write(raw.getvalue())


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    native, win32, out = sys.argv[1:]
    if 'SOURCE_DATE_EPOCH' not in os.environ:
        fail('SOURCE_DATE_EPOCH is not set (make dist sets it to the last commit\'s time)')
    epoch = int(os.environ['SOURCE_DATE_EPOCH'])
    version = product_version(native)
    if product_version(win32) != version:
        fail('the native and Windows trees were built from other versions')
    arch = platform.machine()
    words = {'QUARNEL_VERSION': version, 'QUARNEL_ARCH': arch}

    gui = check_program(os.path.join(win32, 'quarnel.exe'), 2 * MIB, 'i686-w64-mingw32-objdump')
    cli_exe = check_program(os.path.join(win32, 'quarnel-cli.exe'), 4 * MIB, 'i686-w64-mingw32-objdump')
    cli = check_program(os.path.join(native, 'quarnel-cli'), 4 * MIB, 'objdump')

    shutil.rmtree(out, ignore_errors=True)  # no archive of an earlier version stays
    os.makedirs(out)
    windows_name = 'quarnel-%s-windows-x86' % version
    linux_name = 'quarnel-cli-%s-linux-%s' % (version, arch)
    windows_text = lambda name: text_file(name, words, '\r\n')
    linux_text = lambda name: text_file(name, words, '\n')
    write_zip(os.path.join(out, windows_name + '.zip'), windows_name, [
        ('quarnel.exe', gui, 0o755),
        ('quarnel-cli.exe', cli_exe, 0o755),
        ('README.txt', windows_text('docs/README.txt'), 0o644),
        ('LICENSE', windows_text('LICENSE'), 0o644),
        ('THIRD-PARTY-NOTICES', windows_text('THIRD-PARTY-NOTICES'), 0o644),
        ('examples/plan.csv', windows_text('docs/examples/plan.csv'), 0o644),
        ('examples/site.qcfg', windows_text('docs/examples/site.qcfg'), 0o644),
    ], epoch)
    write_tar_gz(os.path.join(out, linux_name + '.tar.gz'), linux_name, [
        ('quarnel-cli', cli, 0o755),
        ('quarnel-cli.1', read(os.path.join(native, 'quarnel-cli.1')), 0o644),
        ('README.txt', linux_text('docs/README.txt'), 0o644),
        ('LICENSE', linux_text('LICENSE'), 0o644),
        ('THIRD-PARTY-NOTICES', linux_text('THIRD-PARTY-NOTICES'), 0o644),
    ], epoch)

    # The archives hold exactly the programs the tests ran.
    with zipfile.ZipFile(os.path.join(out, windows_name + '.zip')) as archive:
        for name, built in (('quarnel.exe', gui), ('quarnel-cli.exe', cli_exe)):
            if sha256(archive.read(windows_name + '/' + name)) != sha256(built):
                fail(name + ' in the zip is not the build\'s')
    with tarfile.open(os.path.join(out, linux_name + '.tar.gz')) as archive:
        if sha256(archive.extractfile(linux_name + '/quarnel-cli').read()) != sha256(cli):
            fail('quarnel-cli in the tar.gz is not the build\'s')

    archives = sorted([windows_name + '.zip', linux_name + '.tar.gz'])
    with open(os.path.join(out, 'SHA256SUMS'), 'w', newline='\n') as sums:
        for name in archives:
            sums.write('%s  %s\n' % (sha256(read(os.path.join(out, name))), name))
    for name in archives + ['SHA256SUMS']:
        print('make-dist: %s/%s' % (out, name))


if __name__ == '__main__':
    main()
