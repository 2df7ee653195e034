#!/usr/bin/python3
# The file managers' context menu entries, as installed: Nemo's action and Dolphin's service menu read by GLib's
# key-file parser (Nemo's own), and the Nautilus extension loaded as nautilus-python loads it, asked for its menu
# item on real files and folders. Activating the item starts the installed program, which must get exactly
# `ferrowyn -- FILE...` and leave the file as it was.
#
# Nautilus itself is not started (it wants a display and a session bus): each selected item is a NautilusFileInfo
# of our own, standing in for Nautilus's, that answers from the real file.
# usage: check-menus.py <installed share folder> <scratch folder>   (the installed program must be on PATH)
import contextlib
import importlib
import os
import shutil
import signal
import sys
import time

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import Gio, GLib, GObject, Nautilus  # noqa: E402


def fail(message):
    sys.exit(f"FAIL: {message}")


def command_of(key_file, group):
    return GLib.shell_parse_argv(key_file.get_string(group, "Exec"))[1]


def check_key_files(share):
    nemo = GLib.KeyFile()
    nemo.load_from_file(f"{share}/nemo/actions/ferrowyn-obliterate.nemo_action", GLib.KeyFileFlags.NONE)
    dolphin = GLib.KeyFile()
    dolphin.load_from_file(f"{share}/kio/servicemenus/ferrowyn-obliterate.desktop", GLib.KeyFileFlags.NONE)
    for name, key_file, group in (("Nemo", nemo, "Nemo Action"), ("Dolphin", dolphin, "Desktop Action obliterate")):
        if command_of(key_file, group) != ["ferrowyn", "--", "%F"]:
            fail(f"{name} starts {command_of(key_file, group)}")
        if key_file.get_string(group, "Name") != "Obliterate with Ferrowyn":
            fail(f"{name}'s entry is called {key_file.get_string(group, 'Name')}")
    if nemo.get_string_list("Nemo Action", "Extensions") != ["nodirs"]:
        fail("Nemo's action is offered for folders")


class LocalFileInfo(GObject.Object, Nautilus.FileInfo):
    def __init__(self, path):
        super().__init__()
        self._file = Gio.File.new_for_path(os.fsdecode(path))

    def do_get_location(self):
        return self._file

    def do_get_uri(self):
        return self._file.get_uri()

    def do_get_uri_scheme(self):
        return self._file.get_uri_scheme()

    def do_get_name(self):
        return self._file.get_basename()

    def do_get_file_type(self):
        return self._file.query_file_type(Gio.FileQueryInfoFlags.NONE, None)

    def do_is_directory(self):
        return self.do_get_file_type() == Gio.FileType.DIRECTORY


def load_nautilus_provider(share):
    # As nautilus-python does: an empty entry dropped from the search path, the extension folder put first, the
    # module imported by its name, and every menu provider class in it instantiated.
    sys.path = [path for path in sys.path if path]
    sys.path.insert(0, f"{share}/nautilus-python/extensions")
    module = importlib.import_module("ferrowyn_obliterate")
    providers = [
        value
        for value in vars(module).values()
        if isinstance(value, type) and issubclass(value, Nautilus.MenuProvider) and value is not Nautilus.MenuProvider
    ]
    if len(providers) != 1:
        fail(f"the Nautilus extension has {len(providers)} menu providers")
    return providers[0]()


def started_programs(program):
    found = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.path.realpath(f"/proc/{pid}/exe") == program:
                with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                    found[int(pid)] = cmdline.read().split(b"\0")[1:-1]
        except OSError:
            pass
    return found


def contents_of(path):
    with open(path, "rb") as file:
        return file.read()


def activate_and_check(item, paths, program):
    """Activates the item and checks the program it started: its arguments, that it stays up, that it wrote
    nothing. Ends it."""
    contents = {path: contents_of(path) for path in paths}
    before = set(started_programs(program))
    item.activate()
    deadline = time.monotonic() + 10
    while not (started := {pid: argv for pid, argv in started_programs(program).items() if pid not in before}):
        if time.monotonic() > deadline:
            fail("activating the Nautilus item started no Ferrowyn")
        time.sleep(0.1)
    try:
        time.sleep(2)
        if list(started.values()) != [[b"--", *paths]]:
            fail(f"the Nautilus item started {started}, not ferrowyn -- {paths}")
        if not set(started) <= set(started_programs(program)):
            fail("the Ferrowyn started by the Nautilus item did not stay up")
    finally:
        for pid in started:
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGTERM)
        while set(started) & set(started_programs(program)):
            time.sleep(0.1)
    for path, content in contents.items():
        if contents_of(path) != content:
            fail(f"{path} changed before anyone said Yes")


def main():
    share, scratch = sys.argv[1], os.fsencode(sys.argv[2])
    check_key_files(share)
    program = os.path.realpath(shutil.which("ferrowyn"))

    provider = load_nautilus_provider(share)
    folder = os.path.join(scratch, b"menus")
    os.makedirs(folder)
    # A name with a space, a quote and a byte that is not UTF-8 must arrive as it is on the disk.
    first, second = os.path.join(folder, b"it's a \xff report.txt"), os.path.join(folder, b"second.txt")
    for path in (first, second):
        with open(path, "wb") as file:
            file.write(b"still here\n")
    for paths in ([first], [first, second]):
        items = provider.get_file_items([LocalFileInfo(path) for path in paths])
        if [item.props.label for item in items] != ["Obliterate with Ferrowyn"]:
            fail(f"for {len(paths)} file(s) Nautilus's menu gets {[item.props.label for item in items]}")
        activate_and_check(items[0], paths, program)
    for selection in ([folder], [first, folder]):
        if items := provider.get_file_items([LocalFileInfo(path) for path in selection]):
            fail(f"a selection with a folder gets {[item.props.label for item in items]}")
    print("Nemo's action and Dolphin's service menu start ferrowyn -- %F; the Nautilus item starts ferrowyn -- "
          "FILE for one file and for two, leaves them as they were, and is not offered with a folder")


main()
