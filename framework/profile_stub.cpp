// Placeholder until the Win32 layer lands.
