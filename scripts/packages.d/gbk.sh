# GBK converter tests: ICU's copy of the Windows code page 936 table is their reference.
packages+=( libicu-dev )  # also in the base list: the default build links it
