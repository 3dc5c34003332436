' Kelmirt placeholder macro file: KmtOutline.gms
' Stands for the macro that draws the cut outline around the design.
' Lumbrel only copies this file.
