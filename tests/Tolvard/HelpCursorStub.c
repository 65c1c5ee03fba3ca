/* Stands in for winhlp32.exe next to the test programs: a library that holds only
   the hand cursor 106 the link controls load (Wine's winhlp32.exe has none). */
int help_cursor_stub;
