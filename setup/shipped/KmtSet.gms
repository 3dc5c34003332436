' Kelmirt placeholder macro file: KmtSet.gms
' Stands for the macro that opens Kelmirt's settings (WM_OPEN_SETTINGS).
' Lumbrel only copies this file.
