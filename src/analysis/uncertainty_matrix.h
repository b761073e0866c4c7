// Small symmetric matrices (at most four rows) for the normal equations of the
// squareness fit: accumulation of outer products, eigenvalues by Jacobi
// rotations, and the inverse of the normal matrix with its condition number.
#ifndef UNCERTAINTY_MATRIX_H
#define UNCERTAINTY_MATRIX_H

#include <optional>

const int MAXIMUM_PARAMETERS = 4;

struct TSmallMatrix
{
  int size = 0;
  double e[MAXIMUM_PARAMETERS][MAXIMUM_PARAMETERS] = {};

  // A zero matrix of the size.
  explicit TSmallMatrix(int size_ = 0);
  // Adds weight · row rowᵀ; row holds size values.
  void Add_Outer_Product(const double* row, double weight);
  bool Is_Finite() const;
};

// A · B · A for symmetric A and B of one size.
TSmallMatrix Sandwich(const TSmallMatrix& a, const TSmallMatrix& b);

// Eigenvalues and eigenvectors (columns of vectors) of a symmetric matrix.
struct TSymmetricEigen
{
  double values[MAXIMUM_PARAMETERS] = {};
  TSmallMatrix vectors;
};

TSymmetricEigen Jacobi_Eigen(const TSmallMatrix& matrix);

// The inverse of a normal matrix N = JᵀJ, judged by the 2-norm condition
// number of D^-1/2 N D^-1/2 with D = diag(N).
struct TNormalInverse
{
  // Absent when N is singular (a zero diagonal, or an eigenvalue of the
  // scaled matrix within rounding of zero) or not finite.
  std::optional<double> condition_number;
  // Present when the condition number is at most the limit.
  std::optional<TSmallMatrix> inverse;
};

TNormalInverse Invert_Normal_Matrix(const TSmallMatrix& normal, double condition_limit);

#endif
