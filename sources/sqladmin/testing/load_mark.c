/* A library that leaves a mark when anything loads it: a line in the file that
   LOAD_MARK_FILE names. The tests of the connection string name it wherever an
   attribute could have a library loaded, and look for the mark afterwards. */
#include <stdio.h>
#include <stdlib.h>

__attribute__((constructor)) static void leave_mark(void) {
  const char* file = getenv("LOAD_MARK_FILE");
  if (file == NULL) return;
  FILE* out = fopen(file, "a");
  if (out == NULL) return;
  fputs("loaded\n", out);
  fclose(out);
}
