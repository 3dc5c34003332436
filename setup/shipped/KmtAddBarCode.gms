' Kelmirt placeholder macro file: KmtAddBarCode.gms
' Stands for the macro that asks Kelmirt for a barcode number (WM_GET_BARCODE_NUMBER)
' and places the barcode for contour cutting. Lumbrel only copies this file.
