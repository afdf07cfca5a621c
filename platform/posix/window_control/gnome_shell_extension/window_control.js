// The windows of GNOME Shell for the pack's window tools, over the session
// bus. Both extension shapes share this file: it is a plain script (the
// legacy importer takes its top-level functions), and the module shape's
// copy gets an export line appended when it is built.
// The interface lists windows and acts on them by id; nothing in it runs
// code or reaches anything but those windows.

var BUS_NAME = 'org.quorvex.CommandPack.Windows';
var OBJECT_PATH = '/org/quorvex/CommandPack/Windows';

var INTERFACE_XML = `<node>
  <interface name="org.quorvex.CommandPack.Windows">
    <method name="List">
      <arg type="a(tssbbbb)" direction="out" name="windows"/>
    </method>
    <method name="Close"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="found"/></method>
    <method name="Minimize"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="found"/></method>
    <method name="Maximize"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="found"/></method>
    <method name="Restore"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="found"/></method>
    <method name="SetAbove">
      <arg type="t" direction="in" name="id"/><arg type="b" direction="in" name="above"/>
      <arg type="b" direction="out" name="found"/>
    </method>
  </interface>
</node>`;

// Answered while the session is locked: the name is kept across the lock, so
// that no other program can take it meanwhile, but no window is touched.
var LOCKED_ERROR = 'org.quorvex.CommandPack.Windows.Error.Locked';

// `gi` holds the libraries each shape imports its own way: Gio, GLib, Meta
// and Shell, `global`, the shell's global object, and `sessionMode`, the
// shell's session mode (Main.sessionMode).
function createWindowControl(gi) {
  const {Gio, GLib, Meta, Shell, sessionMode} = gi;
  const shell = gi.global;
  const ownUser = new Gio.Credentials().get_unix_user();
  const listedTypes = [Meta.WindowType.NORMAL, Meta.WindowType.DIALOG, Meta.WindowType.MODAL_DIALOG];

  // Topmost first.
  function windows() {
    const all = shell.get_window_actors().map(actor => actor.get_meta_window())
      .filter(w => w && !w.is_override_redirect() && listedTypes.includes(w.get_window_type()));
    return shell.display.sort_windows_by_stacking(all).reverse();
  }

  function byId(id) {
    return windows().find(w => w.get_id() === id) || null;
  }

  function appId(w) {
    const app = Shell.WindowTracker.get_default().get_window_app(w);
    return (app && app.get_id()) || w.get_gtk_application_id() || w.get_wm_class() || '';
  }

  // Mutter 49 and later: get_maximize_flags() and is_maximized(), and
  // maximize() and unmaximize() without flags. Earlier: get_maximized(), and
  // the flags are given. Told apart by what the window has, not by version.
  function maximized(w) {
    if (typeof w.get_maximize_flags === 'function')
      return w.get_maximize_flags() === Meta.MaximizeFlags.BOTH;
    if (typeof w.get_maximized === 'function')
      return w.get_maximized() === Meta.MaximizeFlags.BOTH;
    return w.is_maximized();
  }

  function flagless(w) {
    return typeof w.is_maximized === 'function';
  }

  function describe(w) {
    return [w.get_id(), w.get_title() || '', appId(w), w.has_focus(), w.minimized, maximized(w), w.above];
  }

  const actions = {
    Close: w => w.delete(shell.get_current_time()),
    Minimize: w => w.minimize(),
    Maximize: w => (flagless(w) ? w.maximize() : w.maximize(Meta.MaximizeFlags.BOTH)),
    // As the other desktops do: back from the taskbar, else to its normal
    // size, and to the front either way.
    Restore: w => {
      if (w.minimized)
        w.unminimize();
      else if (flagless(w))
        w.unmaximize();
      else
        w.unmaximize(Meta.MaximizeFlags.BOTH);
      w.activate(shell.get_current_time());
    },
  };

  // Replies only to callers of the shell's own user, as the bus daemon
  // knows them.
  function whenOwnUser(invocation, answer) {
    invocation.get_connection().call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
      'GetConnectionUnixUser', new GLib.Variant('(s)', [invocation.get_sender()]), new GLib.VariantType('(u)'),
      Gio.DBusCallFlags.NONE, -1, null, (connection, result) => {
        let user = -1;
        try {
          [user] = connection.call_finish(result).deepUnpack();
        } catch (e) {
          user = -1;
        }
        if (user !== ownUser) {
          invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
            'Only the user of this session may control its windows');
          return;
        }
        if (sessionMode && sessionMode.isLocked) {
          invocation.return_dbus_error(LOCKED_ERROR, 'The session is locked');
          return;
        }
        try {
          invocation.return_value(answer());
        } catch (e) {
          invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e));
        }
      });
  }

  function onWindow(id, act) {
    const w = byId(id);
    if (w)
      act(w);
    return new GLib.Variant('(b)', [w !== null]);
  }

  const implementation = {
    ListAsync(parameters, invocation) {
      whenOwnUser(invocation, () => new GLib.Variant('(a(tssbbbb))', [windows().map(describe)]));
    },
    SetAboveAsync([id, above], invocation) {
      whenOwnUser(invocation, () => onWindow(id, w => (above ? w.make_above() : w.unmake_above())));
    },
  };
  for (const [name, act] of Object.entries(actions)) {
    implementation[`${name}Async`] = ([id], invocation) => whenOwnUser(invocation, () => onWindow(id, act));
  }

  let exported = null;
  let ownerId = 0;
  let watchId = 0;

  // Taken from a program that let it be replaced, and never waited for
  // behind one that holds it (the tools trust the name only while the shell
  // holds it, and say so otherwise): when such a program lets it go, it is
  // taken again at once.
  function own() {
    ownerId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
      Gio.BusNameOwnerFlags.REPLACE | Gio.BusNameOwnerFlags.DO_NOT_QUEUE, null, lost);
  }

  function lost() {
    log(`${BUS_NAME} is held by another program; the window tools refuse it until it lets the name go`);
    if (watchId === 0) {
      watchId = Gio.bus_watch_name_on_connection(Gio.DBus.session, BUS_NAME, Gio.BusNameWatcherFlags.NONE, null,
        () => {
          if (ownerId === 0)
            return;
          Gio.bus_unown_name(ownerId);
          own();
        });
    }
  }

  return {
    enable() {
      exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, implementation);
      exported.export(Gio.DBus.session, OBJECT_PATH);
      own();
    },
    disable() {
      if (watchId !== 0)
        Gio.bus_unwatch_name(watchId);
      watchId = 0;
      if (ownerId !== 0)
        Gio.bus_unown_name(ownerId);
      ownerId = 0;
      if (exported)
        exported.unexport();
      exported = null;
    },
  };
}
