/*
** Test support: temporary directory trees with small files, wide forms
** of narrow paths, and capture of what a call prints on standard output.
*/
#ifndef TV_TEMPTREE_H
#define TV_TEMPTREE_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <ftw.h>
#include <sys/stat.h>
#include <string>

/* A fresh directory under /tmp; empty on failure. */
inline std::string TreeNew(void)
{
  char tmpl[] = "/tmp/tvtest.XXXXXX";
  return mkdtemp(tmpl) ? std::string(tmpl) : std::string();
}

static inline int TreeUnlink(const char *p, const struct stat *, int, struct FTW *)
{
  return remove(p);
}

/* Remove a tree made by TreeNew, depth first. */
inline void TreeRemove(const std::string &dir)
{
  if (!dir.empty())
    nftw(dir.c_str(), TreeUnlink, 16, FTW_DEPTH | FTW_PHYS);
}

/* Create dir and every missing parent. */
inline void TreeDirs(const std::string &dir)
{
  for (size_t i = 1; i <= dir.size(); i++)
    if (i == dir.size() || dir[i] == '/')
      mkdir(dir.substr(0, i).c_str(), 0755);
}

/* Write bytes to path, creating its directories. */
inline void TreeFile(const std::string &path, const std::string &bytes)
{
  size_t cut = path.rfind('/');
  if (cut != std::string::npos && cut > 0)
    TreeDirs(path.substr(0, cut));
  FILE *fp = fopen(path.c_str(), "wb");
  if (fp) {
    fwrite(bytes.data(), 1, bytes.size(), fp);
    fclose(fp);
  }
}

/* Read a whole file; empty when it cannot be read. */
inline std::string TreeRead(const std::string &path)
{
  std::string s;
  FILE *fp = fopen(path.c_str(), "rb");
  if (fp) {
    char b[4096];
    size_t n;
    while ((n = fread(b, 1, sizeof b, fp)) > 0)
      s.append(b, n);
    fclose(fp);
  }
  return s;
}

/* The wide form of a narrow text in the current locale. */
inline std::wstring Wide(const std::string &s)
{
  size_t n = mbstowcs(NULL, s.c_str(), 0);
  if (n == (size_t)-1)
    return L"";
  std::wstring w(n, L'\0');
  mbstowcs(&w[0], s.c_str(), n + 1);
  return w;
}

/* What fn writes to standard output, byte for byte. */
template <class F> std::string Captured(F fn)
{
  fflush(stdout);
  FILE *tmp = tmpfile();
  int saved = dup(1);
  dup2(fileno(tmp), 1);
  fn();
  fflush(stdout);
  dup2(saved, 1);
  close(saved);
  std::string s;
  rewind(tmp);
  char b[4096];
  size_t n;
  while ((n = fread(b, 1, sizeof b, tmp)) > 0)
    s.append(b, n);
  fclose(tmp);
  return s;
}

#endif
