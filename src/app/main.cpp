// Knotwork: a NURBS curve and surface modeller.
#include "app/run_knotwork.h"

int main(int argc, char** argv) {
    return runKnotwork(argc, argv);
}
