// Keeps a library that is still being filled from having no source at all.
