// GNOME Shell 40 to 44: the legacy shape, around the shared window logic.
const {Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
const Me = imports.misc.extensionUtils.getCurrentExtension();

class Extension {
  enable() {
    this._control = Me.imports.window_control.createWindowControl(
      {Gio, GLib, Meta, Shell, global, sessionMode: Main.sessionMode});
    this._control.enable();
  }

  disable() {
    this._control.disable();
    this._control = null;
  }
}

function init() {
  return new Extension();
}
