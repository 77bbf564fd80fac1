# Debian's source packages of the libraries the Windows builds compile themselves.
#
# apt fetches them through a deb-src list, state and cache of the build's own, so the
# machine's apt setup is only read, never changed; dpkg-source unpacks them with
# Debian's patches applied. The unpacked trees are shared by every build tree of the
# checkout: the first configure fetches them, later ones (and reconfigures) reuse them.

set(PELLQUIN_DEBIAN_SOURCES_DIR ${CMAKE_SOURCE_DIR}/build/third-party CACHE PATH
    "Where the Debian source packages of the Windows builds' libraries are unpacked")

function(_pellquin_debian_codename out_codename)
  file(STRINGS /etc/os-release codename REGEX "^VERSION_CODENAME=")
  string(REPLACE "VERSION_CODENAME=" "" codename "${codename}")
  set(${out_codename} ${codename} PARENT_SCOPE)
endfunction()

# Writes the apt configuration that points every piece of apt state below `dir`.
# The deb-src list mirrors the machine's own Debian sources, so a local mirror or
# proxy keeps working; without them it falls back to deb.debian.org.
function(_pellquin_apt_config dir out_config)
  file(MAKE_DIRECTORY ${dir}/lists/partial ${dir}/cache/archives/partial ${dir}/sources.list.d)
  if(EXISTS /etc/apt/sources.list.d/debian.sources)
    file(READ /etc/apt/sources.list.d/debian.sources sources)
    string(REGEX REPLACE "(^|\n)Types:[^\n]*" "\\1Types: deb-src" sources "${sources}")
  else()
    _pellquin_debian_codename(codename)
    string(CONCAT sources "Types: deb-src\n" "URIs: http://deb.debian.org/debian\n"
           "Suites: ${codename}\n" "Components: main\n"
           "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n")
  endif()
  file(WRITE ${dir}/deb-src.sources "${sources}")
  # The machine's update hooks (PackageKit, AppStream) are about its own lists.
  file(WRITE ${dir}/apt.conf
       "Dir::Etc::SourceList \"${dir}/deb-src.sources\";\n"
       "Dir::Etc::SourceParts \"${dir}/sources.list.d\";\n"
       "Dir::State::Lists \"${dir}/lists\";\n"
       "Dir::Cache \"${dir}/cache\";\n"
       "APT::Sandbox::User \"root\";\n"
       "#clear APT::Update::Post-Invoke;\n"
       "#clear APT::Update::Post-Invoke-Success;\n")
  set(${out_config} ${dir}/apt.conf PARENT_SCOPE)
endfunction()

function(_pellquin_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
endfunction()

# pellquin_debian_sources(package...): unpacks each source package into
# ${PELLQUIN_DEBIAN_SOURCES_DIR}/<package>, unless that was done before.
function(pellquin_debian_sources)
  set(root ${PELLQUIN_DEBIAN_SOURCES_DIR})
  file(MAKE_DIRECTORY ${root})
  # Two build trees configured at once must not fetch into the same place.
  file(LOCK ${root}/.lock GUARD FUNCTION TIMEOUT 900)

  set(missing)
  foreach(package IN LISTS ARGN)
    if(NOT EXISTS ${root}/${package}.unpacked)
      list(APPEND missing ${package})
    endif()
    # A removed tree makes the next build configure, and so fetch, again.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/${package}.unpacked)
  endforeach()
  if(NOT missing)
    return()
  endif()

  list(JOIN missing " " names)
  message(STATUS "Fetching the Debian source packages ${names} into ${root}")
  _pellquin_apt_config(${root}/apt apt_config)
  _pellquin_run("apt-get update" apt-get -q -c ${apt_config} update)
  foreach(package IN LISTS missing)
    set(downloads ${root}/downloads/${package})
    file(REMOVE_RECURSE ${downloads} ${root}/${package})
    file(MAKE_DIRECTORY ${downloads})
    # The newest version first. A mirror may list an update before it serves its
    # files; the release's own version is then the one to take.
    set(fetch ${CMAKE_COMMAND} -E chdir ${downloads} apt-get -q -c ${apt_config} source
        --download-only)
    execute_process(COMMAND ${fetch} ${package} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0)
      _pellquin_debian_codename(codename)
      message(STATUS "The newest ${package} could not be fetched; taking ${codename}'s")
      file(REMOVE_RECURSE ${downloads})
      file(MAKE_DIRECTORY ${downloads})
      _pellquin_run("apt-get source ${package}/${codename}" ${fetch} ${package}/${codename})
    endif()
    file(GLOB dsc ${downloads}/*.dsc)
    list(LENGTH dsc count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "apt-get source ${package} gave ${count} source descriptions")
    endif()
    _pellquin_run("dpkg-source -x ${dsc}" dpkg-source -x ${dsc} ${root}/${package})
    # Written last: a tree without its marker is half-unpacked and fetched again.
    get_filename_component(version ${dsc} NAME_WLE)
    file(WRITE ${root}/${package}.unpacked "${version}\n")
    message(STATUS "Unpacked ${version}")
  endforeach()
endfunction()
