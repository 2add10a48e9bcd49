// A state practice module of the sample release: a shared object with the file version the
// update compares. The product would load it for the cases of its state; here it only names it.
extern "C" [[gnu::visibility("default")]] const char* TallymarStateModule() {
    return TL_STATE_CODE " " TL_STATE_NAME;
}
