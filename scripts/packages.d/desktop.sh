# A headless desktop for the window's desktop tests: an X server without a screen (Xvfb), a
# window manager (openbox), an XEmbed tray (trayer), a notification server (dunst, whose
# `dunstctl history` lists what it showed), a session bus (dbus-launch) and xdotool, which clicks
# the tray icon as a user would.
group_title="Headless desktop tests"
group_packages=(xvfb openbox trayer dunst dbus-x11 xdotool x11-utils)
