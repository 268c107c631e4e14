// An empty DLL that lies beside the test programs, as a planted DLL would lie beside tallyon.exe.
extern "C" __declspec(dllexport) int dllSearchProbe() {
    return 1;
}
