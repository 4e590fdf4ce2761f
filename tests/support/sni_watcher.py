#!/usr/bin/python3
"""A StatusNotifierWatcher and host for the tests, recording what items export.

Command line:
    sni_watcher.py --record FILE [--no-host] [--bus ADDRESS]

It owns org.kde.StatusNotifierWatcher on the session bus (DBUS_SESSION_BUS_ADDRESS,
or ADDRESS) and serves /StatusNotifierWatcher: RegisterStatusNotifierItem,
RegisterStatusNotifierHost, the properties RegisteredStatusNotifierItems,
IsStatusNotifierHostRegistered, ProtocolVersion, and the Registered/Unregistered
signals. Unless --no-host is given it counts itself as a registered host from
the start. It exits 2 when the name is taken, and ends on SIGTERM or Quit.

Whenever an item registers, and again on the item's NewIcon, NewToolTip,
NewTitle, NewStatus and its menu's LayoutUpdated, it reads the item's
properties (Properties.GetAll) and its menu (GetLayout(0, -1, [])) and
replaces FILE atomically (a temporary file, then a rename) with JSON:

    {"sequence": N,                    # grows with every write
     "host_registered": true|false,
     "items": [{"id": "BUSNAME/PATH", "bus_name": ..., "path": ...,
                "properties": {...},   # as GetAll gives them; each pixmap
                                       # (a(iiay)) as [{"width", "height",
                                       # "argb_base64"}], bytes as sent
                                       # (ARGB32, network byte order); ToolTip
                                       # as {"icon_name", "icon_pixmap",
                                       # "title", "text"}
                "menu": {"revision": R, "layout": ITEM} or null,
                "signals": {"NewIcon": n, ...},    # counts received
                "errors": {...}}]}

    ITEM = {"id": i, "properties": {...}, "children": [ITEM, ...]}

An item that leaves the bus leaves the list. A read that fails leaves
"properties" or "menu" as it was (null at first) and says why in
"errors": {"properties": TEXT, "menu": TEXT}.

Commands, as methods of interface org.vimo.SniWatcher at /org/vimo/SniWatcher
on the same bus name; each acts on the newest registered item and replies
once the item has answered (an item's error comes back as the error):
    Activate(i x, i y, s token)  ProvideXdgActivationToken(token) first
                                 unless token is "", then Activate(x, y)
    SecondaryActivate(i x, i y)
    ContextMenu(i x, i y)
    Click(i id)                  the menu's Event(id, "clicked", 0, 0)
    ClickLabel(s label)          the same for the first item whose label,
                                 without its "_" mnemonic, is label
    AboutToShow(i id) -> b       the menu's AboutToShow
    RegisterHost()               count as a registered host from now on
    Quit()
e.g. dbus-send --bus=unix:path=/tmp/bus --print-reply \\
        --dest=org.kde.StatusNotifierWatcher /org/vimo/SniWatcher \\
        org.vimo.SniWatcher.Activate int32:10 int32:20 string:the-token
"""

import argparse
import base64
import json
import os
import signal
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER_NAME = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
WATCHER_IFACE = "org.kde.StatusNotifierWatcher"
ITEM_IFACE = "org.kde.StatusNotifierItem"
MENU_IFACE = "com.canonical.dbusmenu"
PROPS_IFACE = "org.freedesktop.DBus.Properties"
CONTROL_PATH = "/org/vimo/SniWatcher"
CONTROL_IFACE = "org.vimo.SniWatcher"
ITEM_SIGNALS = ("NewIcon", "NewToolTip", "NewTitle", "NewStatus",
                "NewAttentionIcon", "NewOverlayIcon")
PIXMAP_PROPERTIES = ("IconPixmap", "OverlayIconPixmap", "AttentionIconPixmap")

INTROSPECTION = """<!DOCTYPE node PUBLIC
 "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>
"""


def plain(value):
    """A D-Bus value as JSON can hold it; bytes as base64."""
    if isinstance(value, (bytes, bytearray, dbus.ByteArray)):
        return base64.b64encode(bytes(value)).decode("ascii")
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Int16, dbus.Int32, dbus.Int64, dbus.UInt16,
                          dbus.UInt32, dbus.UInt64, dbus.Byte)):
        return int(value)
    if isinstance(value, dbus.Double):
        return float(value)
    if isinstance(value, (dbus.String, dbus.ObjectPath, dbus.Signature, str)):
        return str(value)
    if isinstance(value, dict):
        return {str(key): plain(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return [plain(item) for item in value]
    return value


def pixmaps(value):
    return [{"width": int(width), "height": int(height),
             "argb_base64": base64.b64encode(bytes(data)).decode("ascii")}
            for width, height, data in value]


def item_properties(values):
    result = {}
    for name, value in values.items():
        if name in PIXMAP_PROPERTIES:
            result[name] = pixmaps(value)
        elif name == "ToolTip":
            icon_name, icon, title, text = value
            result[name] = {"icon_name": str(icon_name), "icon_pixmap": pixmaps(icon),
                            "title": str(title), "text": str(text)}
        else:
            result[name] = plain(value)
    return result


def layout_item(value):
    item_id, properties, children = value
    return {"id": int(item_id), "properties": plain(properties),
            "children": [layout_item(child) for child in children]}


def strip_mnemonic(label):
    text, i = "", 0
    while i < len(label):
        if label[i] == "_" and i + 1 < len(label):
            i += 1
        text += label[i]
        i += 1
    return text


def find_label(item, label):
    if strip_mnemonic(str(item["properties"].get("label", ""))) == label:
        return item["id"]
    for child in item["children"]:
        found = find_label(child, label)
        if found is not None:
            return found
    return None


class Item:
    def __init__(self, key, bus_name, path, owner):
        self.key = key
        self.bus_name = bus_name
        self.path = path
        self.owner = owner  # the unique name, which signals come from
        self.properties = None
        self.menu = None
        self.error = {}
        self.signals = {}


class Watcher(dbus.service.Object):
    def __init__(self, bus, record, host):
        super().__init__(bus, WATCHER_PATH)
        self.bus = bus
        self.record = record
        self.hosts = {"self"} if host else set()
        self.items = []
        self.sequence = 0
        bus.add_signal_receiver(self.on_item_signal, dbus_interface=ITEM_IFACE,
                                member_keyword="member", sender_keyword="sender")
        bus.add_signal_receiver(self.on_layout_updated, signal_name="LayoutUpdated",
                                dbus_interface=MENU_IFACE, sender_keyword="sender")
        bus.add_signal_receiver(self.on_name_owner_changed, signal_name="NameOwnerChanged",
                                dbus_interface="org.freedesktop.DBus",
                                bus_name="org.freedesktop.DBus")
        self.write()

    # The watcher's interface.

    @dbus.service.method(WATCHER_IFACE, in_signature="s", out_signature="",
                         sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        if service.startswith("/"):
            bus_name, path = sender, service
        else:
            bus_name, path = service, "/StatusNotifierItem"
        key = bus_name + path
        self.items = [item for item in self.items if item.key != key]
        owner = sender
        if not bus_name.startswith(":"):
            try:
                owner = self.bus.get_name_owner(bus_name)
            except dbus.DBusException:
                pass
        item = Item(key, bus_name, path, owner)
        self.items.append(item)
        self.StatusNotifierItemRegistered(key)
        GLib.idle_add(self.read, item)

    @dbus.service.method(WATCHER_IFACE, in_signature="s", out_signature="",
                         sender_keyword="sender")
    def RegisterStatusNotifierHost(self, service, sender=None):
        self.add_host(sender)

    @dbus.service.signal(WATCHER_IFACE, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER_IFACE, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER_IFACE, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.signal(WATCHER_IFACE, signature="")
    def StatusNotifierHostUnregistered(self):
        pass

    def watcher_properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array([item.key for item in self.items],
                                                        signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(bool(self.hosts)),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(PROPS_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        values = self.watcher_properties()
        if interface != WATCHER_IFACE or name not in values:
            raise dbus.DBusException("No such property " + name,
                                     name="org.freedesktop.DBus.Error.UnknownProperty")
        return values[name]

    @dbus.service.method(PROPS_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.watcher_properties() if interface == WATCHER_IFACE else {}

    # Qt reads the properties only when introspection lists them.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", in_signature="",
                         out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    def add_host(self, host):
        first = not self.hosts
        self.hosts.add(host)
        if first:
            self.StatusNotifierHostRegistered()
            self.write()

    # Following the items.

    def item_for(self, sender):
        for item in self.items:
            if sender in (item.owner, item.bus_name):
                return item
        return None

    def on_item_signal(self, *args, member=None, sender=None):
        item = self.item_for(sender)
        if item is None or member not in ITEM_SIGNALS:
            return
        item.signals[member] = item.signals.get(member, 0) + 1
        self.read(item)

    def on_layout_updated(self, revision, parent, sender=None):
        item = self.item_for(sender)
        if item is None:
            return
        item.signals["LayoutUpdated"] = item.signals.get("LayoutUpdated", 0) + 1
        self.read(item)

    def on_name_owner_changed(self, name, old_owner, new_owner):
        if new_owner:
            return
        if name in self.hosts:
            self.hosts.discard(name)
            if not self.hosts:
                self.StatusNotifierHostUnregistered()
        gone = [item for item in self.items if name in (item.owner, item.bus_name)]
        for item in gone:
            self.items.remove(item)
            self.StatusNotifierItemUnregistered(item.key)
        if gone:
            self.write()

    def read(self, item):
        proxy = self.bus.get_object(item.bus_name, item.path, introspect=False)

        def got_properties(values):
            item.properties = item_properties(values)
            item.error.pop("properties", None)
            self.read_menu(item)

        def failed(error):
            item.error["properties"] = str(error)
            self.write()

        proxy.GetAll(ITEM_IFACE, dbus_interface=PROPS_IFACE, byte_arrays=True,
                     reply_handler=got_properties, error_handler=failed)
        return False

    def read_menu(self, item):
        menu_path = (item.properties or {}).get("Menu")
        if not menu_path or menu_path == "/":
            item.menu = None
            self.write()
            return
        proxy = self.bus.get_object(item.bus_name, menu_path, introspect=False)

        def got_layout(revision, layout):
            item.menu = {"revision": int(revision), "layout": layout_item(layout)}
            item.error.pop("menu", None)
            self.write()

        def failed(error):
            item.error["menu"] = str(error)
            self.write()

        proxy.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU_IFACE,
                        reply_handler=got_layout, error_handler=failed)

    def write(self):
        self.sequence += 1
        items = []
        for item in self.items:
            entry = {"id": item.key, "bus_name": item.bus_name, "path": item.path,
                     "properties": item.properties, "menu": item.menu,
                     "signals": dict(item.signals), "errors": dict(item.error)}
            items.append(entry)
        document = {"sequence": self.sequence, "host_registered": bool(self.hosts),
                    "items": items}
        temporary = self.record + ".tmp"
        with open(temporary, "w", encoding="utf-8") as out:
            json.dump(document, out, ensure_ascii=False, indent=1)
            out.flush()
            os.fsync(out.fileno())
        os.replace(temporary, self.record)


class Control(dbus.service.Object):
    """The tests' commands, acting on the newest registered item."""

    def __init__(self, bus, watcher, loop):
        super().__init__(bus, CONTROL_PATH)
        self.bus = bus
        self.watcher = watcher
        self.loop = loop

    def newest(self):
        if not self.watcher.items:
            raise dbus.DBusException("No item is registered",
                                     name="org.vimo.SniWatcher.Error.NoItem")
        return self.watcher.items[-1]

    def item_proxy(self):
        item = self.newest()
        return self.bus.get_object(item.bus_name, item.path, introspect=False)

    def menu_proxy(self):
        item = self.newest()
        menu_path = (item.properties or {}).get("Menu")
        if not menu_path:
            raise dbus.DBusException("The item has no menu (yet)",
                                     name="org.vimo.SniWatcher.Error.NoMenu")
        return self.bus.get_object(item.bus_name, menu_path, introspect=False)

    @dbus.service.method(CONTROL_IFACE, in_signature="iis", out_signature="",
                         async_callbacks=("done", "failed"))
    def Activate(self, x, y, token, done, failed):
        proxy = self.item_proxy()

        def activate():
            proxy.Activate(x, y, dbus_interface=ITEM_IFACE,
                           reply_handler=done, error_handler=failed)

        if token:
            proxy.ProvideXdgActivationToken(token, dbus_interface=ITEM_IFACE,
                                            reply_handler=activate, error_handler=failed)
        else:
            activate()

    @dbus.service.method(CONTROL_IFACE, in_signature="ii", out_signature="",
                         async_callbacks=("done", "failed"))
    def SecondaryActivate(self, x, y, done, failed):
        self.item_proxy().SecondaryActivate(x, y, dbus_interface=ITEM_IFACE,
                                            reply_handler=done, error_handler=failed)

    @dbus.service.method(CONTROL_IFACE, in_signature="ii", out_signature="",
                         async_callbacks=("done", "failed"))
    def ContextMenu(self, x, y, done, failed):
        self.item_proxy().ContextMenu(x, y, dbus_interface=ITEM_IFACE,
                                      reply_handler=done, error_handler=failed)

    @dbus.service.method(CONTROL_IFACE, in_signature="i", out_signature="",
                         async_callbacks=("done", "failed"))
    def Click(self, item_id, done, failed):
        self.menu_proxy().Event(item_id, "clicked", dbus.Int32(0, variant_level=1),
                                dbus.UInt32(0), dbus_interface=MENU_IFACE,
                                reply_handler=done, error_handler=failed)

    @dbus.service.method(CONTROL_IFACE, in_signature="s", out_signature="",
                         async_callbacks=("done", "failed"))
    def ClickLabel(self, label, done, failed):
        menu = self.newest().menu
        item_id = find_label(menu["layout"], label) if menu else None
        if item_id is None:
            raise dbus.DBusException("No menu item is labelled " + label,
                                     name="org.vimo.SniWatcher.Error.NoMenuItem")
        self.Click(item_id, done, failed)

    @dbus.service.method(CONTROL_IFACE, in_signature="i", out_signature="b",
                         async_callbacks=("done", "failed"))
    def AboutToShow(self, item_id, done, failed):
        self.menu_proxy().AboutToShow(item_id, dbus_interface=MENU_IFACE,
                                      reply_handler=done, error_handler=failed)

    @dbus.service.method(CONTROL_IFACE, in_signature="", out_signature="")
    def RegisterHost(self):
        self.watcher.add_host("self")

    @dbus.service.method(CONTROL_IFACE, in_signature="", out_signature="")
    def Quit(self):
        GLib.idle_add(self.loop.quit)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--record", required=True, metavar="FILE")
    parser.add_argument("--no-host", action="store_true",
                        help="do not count as a host until RegisterHost")
    parser.add_argument("--bus", metavar="ADDRESS",
                        help="the bus to serve (default: the session bus)")
    options = parser.parse_args()

    DBusGMainLoop(set_as_default=True)
    if options.bus:
        bus = dbus.bus.BusConnection(options.bus)
    else:
        bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    watcher = Watcher(bus, os.path.abspath(options.record), host=not options.no_host)
    Control(bus, watcher, loop)
    # The name is taken last: whoever sees it may call at once.
    reply = bus.request_name(WATCHER_NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    if reply not in (dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER,
                     dbus.bus.REQUEST_NAME_REPLY_ALREADY_OWNER):
        print("sni_watcher: " + WATCHER_NAME + " is taken", file=sys.stderr)
        return 2
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGINT, loop.quit)
    loop.run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
