/* install.exe in one loaded section plus the zero-filled .bss and the resources. Constants and
   the import table follow the code inside .text, so the file holds no partly empty 512-byte
   blocks for them and the headers list three sections only, fitting in one block. The section is
   read-only (the loader writes the import address table through the header's entry for it, as
   in any image whose imports share a read-only section), so it must not receive initialised
   writable data: the linker would not make it writable, and the link fails instead.
   Zero-initialised variables stay in .bss. */
OUTPUT_FORMAT(pei-i386)
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    *(.rdata)
    *(SORT(.rdata$*))
    . = ALIGN(4);
    __writable_start = .;
    *(.data)
    *(SORT(.data$*))
    __writable_end = .;
    . = ALIGN(4);
    /* The import directory, then each library's lookup table, address table, hint/names and
       name, in the order the import libraries' members sort to. */
    __import_part2 = .;
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    __import_part4 = .;
    KEEP (SORT(*)(.idata$4))
    __import_part5 = .;
    KEEP (SORT(*)(.idata$5))
    __import_part6 = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  /* The linker fills the import entries of the header from these names, as offsets from the
     image base. */
  ".idata$2" = __import_part2 - __image_base__;
  ".idata$4" = __import_part4 - __image_base__;
  ".idata$5" = __import_part5 - __image_base__;
  ".idata$6" = __import_part6 - __image_base__;
  ASSERT(__writable_end == __writable_start,
         "install.ld: initialised writable data would land in the read-only .text")
  .bss BLOCK(__section_alignment__) :
  {
    *(.bss)
    *(COMMON)
  }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP (*(.rsrc))
    KEEP (*(.rsrc$*))
  }
  /DISCARD/ :
  {
    *(.eh_frame*)
    *(.rdata$zzz)
    *(.debug*)
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
  }
}
