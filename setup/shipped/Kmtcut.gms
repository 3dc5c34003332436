' Kelmirt placeholder macro file: Kmtcut.gms
' Stands for the drawing-program macro that exports the design as a PLT job into
' the temporary folder and sends WM_PLT_EXPORTED to Kelmirt. Lumbrel only copies
' this file into the drawing program's global macro (GMS) folder.
