// Knotwork: a NURBS curve and surface modeller.
int main() { return 0; }
