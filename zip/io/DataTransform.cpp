#include "zip/io/DataTransform.h"

DataTransform::~DataTransform() = default;
