# The validators of the desktop entry, the AppStream metadata and the systemd unit that the install
# test runs.
group_title="Desktop entry, AppStream and systemd unit validation"
group_packages=(desktop-file-utils appstream systemd)
