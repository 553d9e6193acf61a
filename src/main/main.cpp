// The executable. For now it only answers --help and --version: the simulation engine is being
// built below it, and the window and the headless run arrive on top of it.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("corvelnmea %s\n", CORVEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: corvelnmea [--help] [--version]\n");
            return 0;
        }
        std::fprintf(stderr, "corvelnmea: option inconnue : %s\n", argv[i]);
        return 2;
    }
    std::printf("CorvelNMEA %s : le moteur de simulation est en construction ; "
                "la fenêtre et le mode --headless arrivent ensuite.\n", CORVEL_VERSION);
    return 0;
}
