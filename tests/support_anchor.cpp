// Keeps the test support libraries non-empty while a folder has no helpers yet.
