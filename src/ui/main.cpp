#include "ui/shell.h"

int main(int argc, char** argv) {
  return quellar::RunQuellar(argc, argv);
}
