' Kelmirt placeholder macro file: KmtAddmark.gms
' Stands for the macro that adds the registration marks for contour cutting and
' hands their data to Kelmirt (WM_MARKDATA_READY). Lumbrel only copies this file.
