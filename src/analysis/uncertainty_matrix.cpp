#include "uncertainty_matrix.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace
{
const int MAXIMUM_SWEEPS = 50;
// Eigenvalues of the scaled matrix (trace = size) are known to about this
// many units of rounding; one below it is indistinguishable from zero.
const double ROUNDING_UNITS = 16.0;

double Off_Diagonal_Norm(const TSmallMatrix& m)
{
  double sum = 0.0;
  for(int i = 0; i < m.size; ++i)
    for(int j = i + 1; j < m.size; ++j)
      sum += m.e[i][j] * m.e[i][j];
  return std::sqrt(sum);
}

double Diagonal_Norm(const TSmallMatrix& m)
{
  double sum = 0.0;
  for(int i = 0; i < m.size; ++i)
    sum += m.e[i][i] * m.e[i][i];
  return std::sqrt(sum);
}

// One rotation in the (p, q) plane that zeroes a(p, q); v gathers the rotations.
void Rotate(TSmallMatrix* a, TSmallMatrix* v, int p, int q)
{
  const double apq = a->e[p][q];
  if(apq == 0.0)
    return;
  const double theta = (a->e[q][q] - a->e[p][p]) / (2.0 * apq);
  const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
  const double c = 1.0 / std::sqrt(t * t + 1.0);
  const double s = t * c;

  for(int k = 0; k < a->size; ++k)
  {
    const double akp = a->e[k][p];
    const double akq = a->e[k][q];
    a->e[k][p] = c * akp - s * akq;
    a->e[k][q] = s * akp + c * akq;
  }
  for(int k = 0; k < a->size; ++k)
  {
    const double apk = a->e[p][k];
    const double aqk = a->e[q][k];
    a->e[p][k] = c * apk - s * aqk;
    a->e[q][k] = s * apk + c * aqk;
  }
  a->e[p][q] = a->e[q][p] = 0.0;
  for(int k = 0; k < v->size; ++k)
  {
    const double vkp = v->e[k][p];
    const double vkq = v->e[k][q];
    v->e[k][p] = c * vkp - s * vkq;
    v->e[k][q] = s * vkp + c * vkq;
  }
}
}

TSmallMatrix::TSmallMatrix(int size_) : size(size_)
{
  assert(size >= 0 && size <= MAXIMUM_PARAMETERS);
}

void TSmallMatrix::Add_Outer_Product(const double* row, double weight)
{
  for(int i = 0; i < size; ++i)
  {
    const double weighted = weight * row[i];
    for(int j = 0; j < size; ++j)
      e[i][j] += weighted * row[j];
  }
}

bool TSmallMatrix::Is_Finite() const
{
  for(int i = 0; i < size; ++i)
    for(int j = 0; j < size; ++j)
      if(!std::isfinite(e[i][j]))
        return false;
  return true;
}

TSmallMatrix Sandwich(const TSmallMatrix& a, const TSmallMatrix& b)
{
  assert(a.size == b.size);
  TSmallMatrix ab(a.size);
  for(int i = 0; i < a.size; ++i)
    for(int j = 0; j < a.size; ++j)
      for(int k = 0; k < a.size; ++k)
        ab.e[i][j] += a.e[i][k] * b.e[k][j];
  TSmallMatrix result(a.size);
  for(int i = 0; i < a.size; ++i)
    for(int j = 0; j < a.size; ++j)
      for(int k = 0; k < a.size; ++k)
        result.e[i][j] += ab.e[i][k] * a.e[k][j];
  return result;
}

// Cyclic Jacobi: sweeps of rotations over all off-diagonal pairs until the
// off-diagonal part is negligible against the diagonal.
TSymmetricEigen Jacobi_Eigen(const TSmallMatrix& matrix)
{
  TSmallMatrix a = matrix;
  TSymmetricEigen eigen;
  eigen.vectors = TSmallMatrix(matrix.size);
  for(int i = 0; i < matrix.size; ++i)
    eigen.vectors.e[i][i] = 1.0;

  for(int sweep = 0; sweep < MAXIMUM_SWEEPS; ++sweep)
  {
    if(!(Off_Diagonal_Norm(a) > 1e-300 + 1e-17 * Diagonal_Norm(a)))
      break;
    for(int p = 0; p < a.size; ++p)
      for(int q = p + 1; q < a.size; ++q)
        Rotate(&a, &eigen.vectors, p, q);
  }
  for(int i = 0; i < a.size; ++i)
    eigen.values[i] = a.e[i][i];
  return eigen;
}

// With s = D^-1/2 and s N s = V L Vᵀ: N⁻¹ = s V L⁻¹ Vᵀ s.
TNormalInverse Invert_Normal_Matrix(const TSmallMatrix& normal, double condition_limit)
{
  TNormalInverse result;
  if(!normal.Is_Finite())
    return result;

  const int size = normal.size;
  double scale[MAXIMUM_PARAMETERS] = {};
  for(int i = 0; i < size; ++i)
  {
    if(!(normal.e[i][i] > 0.0))
      return result;
    scale[i] = 1.0 / std::sqrt(normal.e[i][i]);
  }
  TSmallMatrix scaled(size);
  for(int i = 0; i < size; ++i)
    for(int j = 0; j < size; ++j)
      scaled.e[i][j] = scale[i] * normal.e[i][j] * scale[j];

  const TSymmetricEigen eigen = Jacobi_Eigen(scaled);
  double smallest = 1.0;
  double largest = 1.0;
  if(size > 0)
  {
    smallest = *std::min_element(eigen.values, eigen.values + size);
    largest = *std::max_element(eigen.values, eigen.values + size);
  }
  if(!(smallest > ROUNDING_UNITS * std::numeric_limits<double>::epsilon() * largest))
    return result;
  result.condition_number = largest / smallest;
  if(!(*result.condition_number <= condition_limit))
    return result;

  TSmallMatrix inverse(size);
  for(int i = 0; i < size; ++i)
    for(int j = 0; j < size; ++j)
    {
      double sum = 0.0;
      for(int k = 0; k < size; ++k)
        sum += eigen.vectors.e[i][k] * eigen.vectors.e[j][k] / eigen.values[k];
      inverse.e[i][j] = scale[i] * sum * scale[j];
    }
  result.inverse = inverse;
  return result;
}
