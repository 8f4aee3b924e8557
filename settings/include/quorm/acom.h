/** @file
 * The application settings block shared with the host.
 *
 * acom is one process-wide block that the host and the library share through
 * this declaration: the host may read and write any field directly; the
 * library reads the fields below and offers validating accessors for some of
 * them.  Fields marked "host" are never read by the library.  The block is
 * zero at load.  New fields are only ever appended at the end.
 *
 * pxsfac holds the facet factors: [0] model units to metres, [1] a second
 * factor.
 *
 * Resetting the block.  sys10 (mode) brings the block back to its initial
 * state.  In every mode it stores:
 *  - -939.0 (unset): v6054_z, model_scale, name_char_size, host_doubles;
 *  - -939 (unset): application, cu0007, mesw;
 *  - 1: system_color (the first colour), chaining_method (single),
 *    line_font_symbol_display (on);
 *  - 0: face_grid_counts, display_flags (no view bounds, no view names,
 *    selection restricted to the work view);
 *  - bit 2 only: hatching_flags (there has never been any hatching);
 *  - 6: decimal_places.
 *
 * With a mode other than 1 it also resets the session's running state:
 * the WCS matrix to the identity and its origin to (0, 0, 0), the pending
 * display list to empty, batch_mode and view_of_last_cursor to 0, and the
 * 21 ints from in_trell to the end of host_wcs_state to 0 (the batch-language
 * flag, the fine-tolerance flag, the WCS identifiers and flags).
 *
 * sys10 never touches the equality-tolerance table (call sys21 after setting
 * the model scale), the 64-int zevhost field (LIBQUORM_init_zevhost), the run
 * cleared by b120a, pxsfac or the registered display function.
 */
#ifndef QUORM_ACOM_H
#define QUORM_ACOM_H

#include <quorm/records.h>

/** The library's "unset" value, stored by sys10 as an int and as a double. */
#define ACOM_UNSET_INT (-939)
/** The "unset" value as a double (see ACOM_UNSET_INT). */
#define ACOM_UNSET_DOUBLE (-939.0)

/** Number of ints of the zevhost field. */
#define ACOM_ZEVHOST_INTS 64
/** Capacity of the pending display list. */
#define ACOM_PENDING_DISPLAY_MAX 512

/** Layout of the settings block acom (see the top of this file). */
typedef struct acom_s {
    double v6054_z;          /**< z of the last point given to v6054, in the WCS */
    double model_scale;      /**< ACOM_ask_MEC: scales the length tolerance */
    double name_char_size;   /**< name display character size */
    double eq_tol[8];        /**< equality-tolerance table (see toler.h) */
    MTX3_s wcs_matrix;       /**< WCS axes as rows */
    double wcs_origin[3];    /**< WCS origin */
    double host_doubles[16]; /**< host */

    int zevhost[ACOM_ZEVHOST_INTS];                  /**< LIBQUORM_init_zevhost: [0] = 1, [4] = 512 */
    int pending_display_count;                       /**< pending display list: count ... */
    int pending_display[ACOM_PENDING_DISPLAY_MAX];   /**< ... and entries */
    int system_color;                                /**< 1 to 216 */
    int cu0007;                                      /**< value of cu0007 / cu0008 */
    int face_grid_counts[2];                         /**< default face grid counts (u, v), 0 to 10000 */
    int line_font_symbol_display;                    /**< 1 on, 2 off */
    int display_flags;                               /**< bit 0 view bounds, bit 1 view names, bit 3 not only work view */
    int chaining_method;                             /**< ACOM_chaining_method_t, 1 to 4 */
    int decimal_places;                              /**< decimal places for display */
    int hatching_flags;                              /**< bit 2 set while there has never been any hatching */
    int application;                                 /**< application number */

    /** 1 while running in the batch language.  sys10 (mode != 1) clears the
     * 21 ints from in_trell to the end of host_wcs_state. */
    int in_trell;
    int fine_tolerance;               /**< fine-tolerance flag for sys21 */
    unsigned wcs_view_names_skeleton; /**< WCS view-names skeleton identifier */
    unsigned wcs_skeleton;            /**< WCS skeleton identifier */
    unsigned wcs_matrix_tag;          /**< WCS matrix identifier */
    int wcs_not_linked;               /**< 0 when the WCS is linked to the view */
    int wcs_permanent;                /**< 1 when permanent */
    int wcs_display;                  /**< WCS display status 0 or 1 (temporary when 1) */
    unsigned wcs_tag;                 /**< WCS identifier */
    int host_wcs_state[12];           /**< host */

    int mesw;                /**< ACOM_ask_MESW */
    int batch_mode;          /**< batch mode when 2 */
    int view_of_last_cursor; /**< 0: no view */
    int host_b120a[21];      /**< host: cleared by b120a */
} acom_s;

/** Layout of the facet-factor block pxsfac. */
typedef struct PXSFACTYP {
    double model_to_metres; /**< factor from model units to metres */
    double second_factor;   /**< a second factor (pxsfac_read_pszev) */
} PXSFACTYP;

QUORM_BEGIN_DECLS

/** The settings block; zero at load. */
QUORM_API extern acom_s acom;
/** The facet factors; zero at load, filled by the host. */
QUORM_API extern PXSFACTYP pxsfac;

/** Colours run from DISPLAY_MIN_COLOR to DISPLAY_MAX_COLOR; view 0 is "no view". */
#define DISPLAY_MIN_COLOR 1
/** The greatest colour number. */
#define DISPLAY_MAX_COLOR 216
/** The view number that means "no view". */
#define DSS_NO_VIEW 0

/** Default face grid counts lie in 0 to PX_MAX_FACE_GRID_COUNT. */
#define PX_MAX_FACE_GRID_COUNT 10000

/** Sizes below this are not accepted as the name display character size. */
#define ACOM_MIN_CHAR_SIZE 1e-10

/* ---- Block-wide operations -------------------------------------------- */

/** Resets the block; *mode 1 keeps the session's running state, any other
 * mode resets it too (see the top of this file for the exact fields). */
QUORM_API void sys10(const int *mode);

/** Clears the host's 21-int run host_b120a. */
QUORM_API void b120a(void);

#if QUORM_FULL_BUILD
/** Sets the 64-int zevhost field to zero except [0] = 1 and [4] = 512, and
 * unregisters the pending-display function (MCS_register_display_fn). */
QUORM_API void LIBQUORM_init_zevhost(void);
#endif

/** *a = pxsfac's second factor, *b = the model-to-metres factor. */
QUORM_API void pxsfac_read_pszev(double *a, double *b);

/* ---- Plain values ------------------------------------------------------ */

/** The model-scale value. */
QUORM_API double ACOM_ask_MEC(void);
/** The block's mesw value (ACOM_UNSET_INT after sys10). */
QUORM_API int ACOM_ask_MESW(void);

/** True when the batch mode field is 2. */
QUORM_API bool TRELL_in_batch(void);

/** cu0007 returns the value held for cu0007/cu0008 (ACOM_UNSET_INT after
 * sys10). */
QUORM_API int cu0007(void);
/** Stores *value, which cu0007 then returns. */
QUORM_API void cu0008(const int *value);

/** The application number (ACOM_UNSET_INT after sys10). */
QUORM_API int ACOM_ask_application(void);
/** Stores the application number, unchecked. */
QUORM_API void ACOM_set_application(int application);

/** Name display character size (ACOM_UNSET_DOUBLE after sys10). */
QUORM_API double ACOM_ask_name_display_char_size(void);
/** Stores the name display character size.  A size below ACOM_MIN_CHAR_SIZE,
 * a NaN or an infinity is not stored; while the checking level is above 0 it
 * is noted as "Invalid char_size %g\n", at most 10 times in the life of the
 * process. */
QUORM_API void ACOM_set_name_display_char_size(double size);

/** True unless bit 2 of hatching_flags is set (never any hatching). */
QUORM_API bool ACOM_ask_ever_any_hatching(void);
/** Clears bit 2 of hatching_flags when any is true, sets it otherwise. */
QUORM_API void ACOM_set_ever_any_hatching(bool any);

/* ---- Display ----------------------------------------------------------- */

/** The system colour, asserted to lie in DISPLAY_MIN_COLOR..DISPLAY_MAX_COLOR
 * on reading and writing while the checking level is above 0. */
QUORM_API int DISPLAY_ask_system_color(void);
/** Stores the system colour; while the checking level is above 0 it is
 * asserted to lie in DISPLAY_MIN_COLOR..DISPLAY_MAX_COLOR. */
QUORM_API void DISPLAY_set_system_color(int color);

/** The view of the last cursor; DSS_NO_VIEW when there is none. */
QUORM_API int DISPLAY_ask_view_of_last_cursor(void);
/** Stores the view of the last cursor.  Setting DSS_NO_VIEW is refused by an
 * assertion while the checking level is above 0. */
QUORM_API void DISPLAY_set_view_of_last_cursor(int in_vsn);

/** The default face grid counts: counts[0] is u, counts[1] v.  A stored count
 * outside 0..PX_MAX_FACE_GRID_COUNT reads as 0; while the checking level is
 * above 0 it is reported through ERROR_internal. */
QUORM_API void PX_ask_default_face_grid_counts(int counts[2]);
/** Stores the default face grid counts (counts[0] u, counts[1] v).  A count
 * outside 0..PX_MAX_FACE_GRID_COUNT is stored as 0; while the checking level
 * is above 0 it is reported through ERROR_internal. */
QUORM_API void PX_set_default_face_grid_counts(const int counts[2]);

#if QUORM_FULL_BUILD
/** Chaining methods (full build only). */
typedef enum ACOM_chaining_method_e {
    ACOM_chaining_method_single = 1,    /**< pick one curve at a time */
    ACOM_chaining_method_tangent = 2,   /**< follow tangent-continuous neighbours */
    ACOM_chaining_method_connected = 3, /**< follow every connected neighbour */
    ACOM_chaining_method_prompted = 4   /**< ask at each branch */
} ACOM_chaining_method_t;

/** The chaining method (full build only).  A stored method outside 1..4
 * reads as ACOM_chaining_method_single and is reported through
 * ERROR_internal while the checking level is above 0. */
QUORM_API ACOM_chaining_method_t ACOM_ask_chaining_method(void);
/** Stores the chaining method (full build only).  A method outside 1..4 is
 * not stored; it is reported through ERROR_internal while the checking level
 * is above 0. */
QUORM_API void ACOM_set_chaining_method(int method);

/** True while running in the batch language (the flag is 1; full build
 * only). */
QUORM_API bool ACOM_ask_in_trell(void);
/** Stores the batch-language flag as 1 or 0 (full build only). */
QUORM_API void ACOM_set_in_trell(bool on);
/** 1 while running in the batch language, else 0 (full build only). */
QUORM_API int intrell(void);

/** Decimal places for display, 6 after sys10 (full build only). */
QUORM_API int ACOM_ask_num_decimal_places_for_display(void);
/** Stores the decimal places for display, unchecked (full build only). */
QUORM_API void ACOM_set_num_decimal_places_for_display(int places);

/** True when line font symbols are displayed: the field holds 1 (on) rather
 * than 2 (off) (full build only). */
QUORM_API bool ACOM_ask_line_font_symbol_display(void);
/** Stores 1 (on) or 2 (off) (full build only). */
QUORM_API void ACOM_set_line_font_symbol_display(bool on);

/** True unless bit 3 of display_flags is set: selection is restricted to the
 * work view (full build only). */
QUORM_API bool ACOM_ask_select_only_in_work_view(void);
/** Clears bit 3 of display_flags when on, sets it otherwise (full build
 * only). */
QUORM_API void ACOM_set_select_only_in_work_view(bool on);

/** True when bit 0 of display_flags, view bounds display, is set (full build
 * only). */
QUORM_API bool DISPLAY_ask_view_bounds_display(void);
/** Sets bit 0 of display_flags when on, clears it otherwise (full build
 * only). */
QUORM_API void DISPLAY_set_view_bounds_display(bool on);
/** True when bit 1 of display_flags, view names display, is set (full build
 * only). */
QUORM_API bool DISPLAY_ask_view_names_display(void);
/** Sets bit 1 of display_flags when on, clears it otherwise (full build
 * only). */
QUORM_API void DISPLAY_set_view_names_display(bool on);
#endif

QUORM_END_DECLS

#endif
