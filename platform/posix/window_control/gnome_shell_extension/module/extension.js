// GNOME Shell 45 and later: the ES-module shape, around the shared window logic.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {createWindowControl} from './window_control.js';

export default class WindowControlExtension extends Extension {
  enable() {
    this._control = createWindowControl({Gio, GLib, Meta, Shell, global, sessionMode: Main.sessionMode});
    this._control.enable();
  }

  disable() {
    this._control.disable();
    this._control = null;
  }
}
