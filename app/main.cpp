#include "app/cvist_app.h"

int main(int argc, char** argv) {
    vistrela::CvistApp app;
    return app.InitInstance(argc, argv);
}
