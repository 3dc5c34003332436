<?xml version="1.0" encoding="UTF-8"?>
<!-- Kelmirt placeholder workspace file for CorelDRAW 12, X3 to X6.1.
     Stands for the workspace that adds the Kelmirt toolbar; Lumbrel passes its
     path to the drawing program, which loads it. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"/>
