// "c4dll.dll" and "xfiles.dll": the two companions the Vardo program folder
// holds beside PyxBase5.dll, which the loader loads first. Our engine needs
// nothing from them; each only names itself.
extern "C" __attribute__((visibility("default"))) const char* VardoCompanionName() { return VARDO_COMPANION_NAME; }
