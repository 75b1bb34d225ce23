# GBK converter tests: ICU's copy of the Windows code page 936 table is their reference.
packages+=( libicu-dev )
