# Feed and package tests: a real feed parser for the Atom feed, and the validators of the desktop
# entry and the AppStream metadata that the install test runs.
packages+=( python3-feedparser desktop-file-utils appstream )
