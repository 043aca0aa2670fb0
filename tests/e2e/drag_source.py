#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A file manager's part in a drag, for the end-to-end tests: a small GTK window, as the file managers of GNOME
and Xfce are, that starts a drag when pressed, carrying the given items (file:// addresses, or "text:..." for
plain text) and offering a copy or a move. After each drag it prints the action the drop target chose, numbered
as Qt numbers them: "drop action 0" when refused, 1 for a copy, 2 for a move, 4 for a link.

    drag_source.py ITEM...
"""
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

URIS, TEXT = 0, 1


def main(items):
    uris = [i for i in items if not i.startswith("text:")]
    texts = [i[len("text:"):] for i in items if i.startswith("text:")]
    window = Gtk.Window(title="drag source")
    window.set_default_size(200, 200)
    window.connect("destroy", Gtk.main_quit)
    area = Gtk.EventBox()
    window.add(area)
    area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY | Gdk.DragAction.MOVE)
    targets = Gtk.TargetList.new([])
    if uris:
        targets.add_uri_targets(URIS)
    if texts:
        targets.add_text_targets(TEXT)
    area.drag_source_set_target_list(targets)
    area.connect("drag-data-get", lambda w, context, data, info, time:
                 data.set_uris(uris) if info == URIS else data.set_text(texts[0], -1))
    failed = []
    area.connect("drag-failed", lambda w, context, result: failed.append(result) and False)

    def ended(widget, context):
        action = 0 if failed else {Gdk.DragAction.COPY: 1, Gdk.DragAction.MOVE: 2,
                                   Gdk.DragAction.LINK: 4}.get(context.get_selected_action(), 0)
        print("drop action %d" % action, flush=True)
        failed.clear()

    area.connect("drag-end", ended)
    window.show_all()
    Gtk.main()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
