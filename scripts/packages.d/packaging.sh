# The validators of the desktop entry and the AppStream metadata that the install test runs.
group_title="Desktop entry and AppStream validation"
group_packages=(desktop-file-utils appstream)
