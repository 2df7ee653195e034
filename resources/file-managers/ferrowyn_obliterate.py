# "Obliterate with Ferrowyn" in Nautilus's context menu, loaded by nautilus-python (python3-nautilus).
#
# The item is offered when every selected item is a regular local file, never for a folder. It starts
# `ferrowyn -- FILE...` with the files' own paths, exactly as the command line takes them: Ferrowyn selects the
# first, says so when there were several, and writes nothing before Obliterate and Yes.
from gi.repository import Gio, GObject, Nautilus


def _local_file_paths(files):
    """The paths of the selected items, or None when one of them is not a regular local file."""
    paths = []
    for info in files:
        if info.get_uri_scheme() != "file" or info.get_file_type() != Gio.FileType.REGULAR:
            return None
        path = info.get_location().get_path()
        if path is None:
            return None
        paths.append(path)
    return paths or None


class FerrowynObliterateMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *arguments):
        # nautilus-python 4 passes the selection alone; the versions before it passed the window first.
        paths = _local_file_paths(arguments[-1])
        if paths is None:
            return []
        item = Nautilus.MenuItem(
            name="Ferrowyn::Obliterate",
            label="Obliterate with Ferrowyn",
            tip="Overwrite the file with spaces, then delete it (Ferrowyn asks first)",
            icon="ferrowyn",
        )
        item.connect("activate", self._start_ferrowyn, paths)
        return [item]

    def _start_ferrowyn(self, _item, paths):
        # An argument list, never a command line: no name is quoted or split on the way. GLib.spawn_async is not
        # used: it cannot pass a name that is not UTF-8, and starts the program without it. GSubprocess passes the
        # bytes of the name as they are on the disk, and reaps the program when it ends.
        Gio.Subprocess.new(["ferrowyn", "--", *paths], Gio.SubprocessFlags.NONE)
